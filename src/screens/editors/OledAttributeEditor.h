#pragma once

#include "AttributeEditorDialog.h"

#include <QList>

// One field of an attribute record: its caption and how many hex digits it holds.
struct AttributeField
{
    const char* label;
    int digits;
};

// "Switch Attributes" of an OLED or 96x64 switch: the attribute record as a row of hex fields,
// each holding a fixed number of digits. Unlike the LCD editor the window hands its address
// back to the screen even after Cancel.
class OledAttributeEditor : public AttributeEditorDialog
{
    Q_OBJECT
public:
    // The fields' digits joined in field order; the empty text is kept as the variant's zeros.
    QString SwitchingAttributes() const { return m_switchingAttributes; }
    void setSwitchingAttributes(const QString& digits);

protected:
    OledAttributeEditor(const char* objectName, QList<AttributeField> fields,
                        const QString& emptyAttributes, AppState& state, Prompter& prompter,
                        QWidget* parent);

    void load() override;
    void commit() override;
    bool leave() override;

private:
    const QList<AttributeField> m_fields;
    const QString m_emptyAttributes;
    QString m_switchingAttributes;
    QList<QLineEdit*> m_txtAttributes;
};

// OLED 64x48, OLED 52x36 and COLOR 96x64 (types 3, 4 and 6): 8 bytes in five fields.
class frmBackgroundOLED final : public OledAttributeEditor
{
    Q_OBJECT
public:
    frmBackgroundOLED(AppState& state, Prompter& prompter, QWidget* parent = nullptr);
};

// MONO 96x64 (type 5): 14 bytes in eight fields.
class frmBackground96x64OLED final : public OledAttributeEditor
{
    Q_OBJECT
public:
    frmBackground96x64OLED(AppState& state, Prompter& prompter, QWidget* parent = nullptr);
};
