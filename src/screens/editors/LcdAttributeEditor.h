#pragma once

#include "AttributeEditorDialog.h"
#include "FileClassification.h"
#include "LedCode.h"

#include <array>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QSlider;

// "Switch Attributes" of an LCD switch: the LED colour of the on and the off cycle, chosen with
// three sliders each and previewed, and up to sixteen two-digit switching attributes whose
// visible set follows the number of switches in the group. The two LCD types differ only in how
// many levels an LED channel has and how the LED code is built (see LedCode.h).
//
// Between openings the properties hold the current values: the single picture screen primes
// them when a picture is chosen, and new LCD 64x32 pictures take their defaults from them.
class LcdAttributeEditor : public AttributeEditorDialog
{
    Q_OBJECT
public:
    // Switches in the group: 2, 8 or 16; any other number opens as 2.
    qint16 NumbofSwitch() const { return m_numbofSwitch; }
    void setNumbofSwitch(qint16 count) { m_numbofSwitch = count; }
    // LED codes of the on and off cycle; the empty text is kept as "0".
    QString LEDon() const { return m_ledOn; }
    void setLEDon(const QString& code);
    QString LEDoff() const { return m_ledOff; }
    void setLEDoff(const QString& code);
    // Colour numbers (decimal text) of the preview boxes; the empty text is kept as "0".
    QString BackgroundColoron() const { return m_colourOn; }
    void setBackgroundColoron(const QString& number);
    QString BackgroundColoroff() const { return m_colourOff; }
    void setBackgroundColoroff(const QString& number);
    // The sixteen fields' digits joined in field order, hidden fields included; the empty text is
    // kept as 32 zeros.
    QString SwitchingAttributes() const { return m_switchingAttributes; }
    void setSwitchingAttributes(const QString& digits);

protected:
    LcdAttributeEditor(const char* objectName, LedScale scale, AppState& state, Prompter& prompter,
                       QWidget* parent);

    void load() override;
    void commit() override;
    bool leave() override;

private:
    using Sliders = std::array<QSlider*, 3>;

    QGroupBox* buildCycleFrame(bool on);
    QLayout* buildFields();
    void applySwitchCount();
    LedLevels levels(const Sliders& sliders) const;
    void showPreviews();

    const LedScale m_scale;
    qint16 m_numbofSwitch = 2;
    QString m_ledOn;
    QString m_ledOff;
    QString m_colourOn = QStringLiteral("0");
    QString m_colourOff = QStringLiteral("0");
    QString m_switchingAttributes;

    QComboBox* m_cmbNumbofSwchs = nullptr;
    std::array<QLineEdit*, 16> m_txtAttributes{};
    std::array<QLabel*, 16> m_lblAttributes1{};
    Sliders m_sdrLEDOn{};
    Sliders m_sdrLEDOff{};
    QFrame* m_picOnCycle = nullptr;
    QFrame* m_picOffCycle = nullptr;
};

// LCD 36x24 (type 1): each LED channel on or off, the LED code one hex digit.
class frmBackground3624 final : public LcdAttributeEditor
{
    Q_OBJECT
public:
    frmBackground3624(AppState& state, Prompter& prompter, QWidget* parent = nullptr);
};

// LCD 64x32 (type 2): four levels per LED channel, the LED code one byte. Its current values are
// the defaults of newly classified LCD 64x32 pictures.
class frmBackground6432 final : public LcdAttributeEditor, public Lcd64x32Defaults
{
    Q_OBJECT
public:
    frmBackground6432(AppState& state, Prompter& prompter, QWidget* parent = nullptr);

    QString LEDon() const override { return LcdAttributeEditor::LEDon(); }
    QString LEDoff() const override { return LcdAttributeEditor::LEDoff(); }
    QString BackgroundColoron() const override { return LcdAttributeEditor::BackgroundColoron(); }
    QString BackgroundColoroff() const override { return LcdAttributeEditor::BackgroundColoroff(); }
};
