#include "AttributeEditors.h"

#include "AppState.h"
#include "LcdAttributeEditor.h"
#include "OledAttributeEditor.h"
#include "UiSeam.h"
#include "frmCharacter.h"

#include <type_traits>

AttributeEditors::AttributeEditors(AppState& state, UiSeam& seam, QWidget* dialogParent)
    : m_state(state)
    , m_seam(seam)
    , m_dialogParent(dialogParent)
{
}

AttributeEditors::~AttributeEditors()
{
    // The parent window may already have taken its dialogs with it; the guards are then empty.
    delete m_lcd36x24;
    delete m_lcd64x32;
    delete m_oled;
    delete m_mono96x64;
    delete m_character;
}

template <typename Dialog> Dialog& AttributeEditors::instance(QPointer<Dialog>& slot)
{
    if (!slot) {
        if constexpr (std::is_same_v<Dialog, frmCharacter>) {
            slot = new Dialog(m_dialogParent);
        } else {
            slot = new Dialog(m_state, m_seam, m_dialogParent);
            slot->setScreen(m_screen);
        }
    }
    return *slot;
}

void AttributeEditors::setScreen(EditorScreen* screen)
{
    m_screen = screen;
    for (AttributeEditorDialog* editor : std::initializer_list<AttributeEditorDialog*>{
             m_lcd36x24, m_lcd64x32, m_oled, m_mono96x64}) {
        if (editor)
            editor->setScreen(screen);
    }
}

frmBackground3624& AttributeEditors::lcd36x24()
{
    return instance(m_lcd36x24);
}

frmBackground6432& AttributeEditors::lcd64x32()
{
    return instance(m_lcd64x32);
}

frmBackgroundOLED& AttributeEditors::oled()
{
    return instance(m_oled);
}

frmBackground96x64OLED& AttributeEditors::mono96x64()
{
    return instance(m_mono96x64);
}

frmCharacter& AttributeEditors::character()
{
    return instance(m_character);
}

LcdAttributeEditor* AttributeEditors::lcdEditorFor(qint16 typeCode)
{
    switch (typeCode) {
    case SwitchTypeCode::Lcd36x24:
        return &lcd36x24();
    case SwitchTypeCode::Lcd64x32:
        return &lcd64x32();
    default:
        return nullptr;
    }
}

OledAttributeEditor* AttributeEditors::oledEditorFor(qint16 typeCode)
{
    switch (typeCode) {
    case SwitchTypeCode::Oled64x48:
    case SwitchTypeCode::Oled52x36:
    case SwitchTypeCode::Color96x64:
        return &oled();
    case SwitchTypeCode::Mono96x64:
        return &mono96x64();
    default:
        return nullptr;
    }
}

const Lcd64x32Defaults& AttributeEditors::lcd64x32Defaults()
{
    return lcd64x32();
}
