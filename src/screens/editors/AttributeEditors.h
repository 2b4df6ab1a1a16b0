#pragma once

#include <QPointer>

struct AppState;
class EditorScreen;
class Lcd64x32Defaults;
class LcdAttributeEditor;
class OledAttributeEditor;
class UiSeam;
class QWidget;
class frmBackground3624;
class frmBackground6432;
class frmBackground96x64OLED;
class frmBackgroundOLED;
class frmCharacter;

// The one instance of each attribute editor and of the character picker. Each is created on
// first use and kept, with its values, until this object goes; they are dialogs of the window
// given here.
class AttributeEditors
{
public:
    AttributeEditors(AppState& state, UiSeam& seam, QWidget* dialogParent);
    ~AttributeEditors();
    AttributeEditors(const AttributeEditors&) = delete;
    AttributeEditors& operator=(const AttributeEditors&) = delete;

    // The screen whose address box and colour boxes the editors use; the screen clears it
    // (nullptr) before it goes away.
    void setScreen(EditorScreen* screen);

    frmBackground3624& lcd36x24();
    frmBackground6432& lcd64x32();
    frmBackgroundOLED& oled();
    frmBackground96x64OLED& mono96x64();
    frmCharacter& character();

    // The editor that owns the attribute records of a display type; nullptr for a type the
    // other kind of editor owns (LCD: types 1 and 2; OLED: types 3 to 6).
    LcdAttributeEditor* lcdEditorFor(qint16 typeCode);
    OledAttributeEditor* oledEditorFor(qint16 typeCode);

    // The LCD 64x32 editor's current values, the defaults of newly classified LCD 64x32 pictures.
    const Lcd64x32Defaults& lcd64x32Defaults();

private:
    template <typename Dialog> Dialog& instance(QPointer<Dialog>& slot);

    AppState& m_state;
    UiSeam& m_seam;
    QWidget* m_dialogParent;
    EditorScreen* m_screen = nullptr;
    QPointer<frmBackground3624> m_lcd36x24;
    QPointer<frmBackground6432> m_lcd64x32;
    QPointer<frmBackgroundOLED> m_oled;
    QPointer<frmBackground96x64OLED> m_mono96x64;
    QPointer<frmCharacter> m_character;
};
