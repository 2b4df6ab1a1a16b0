#include "LcdAttributeEditor.h"

#include "Conversions.h"
#include "EditorScreen.h"
#include "FieldChecks.h"
#include "Named.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace {
constexpr int FieldCount = 16;
constexpr int FieldsPerRow = 8;
const QString EmptyAttributes(2 * qsizetype(FieldCount), QLatin1Char('0'));
const QStringList SwitchCounts{QStringLiteral("2"), QStringLiteral("8"), QStringLiteral("16")};
const QStringList ChannelNames{QStringLiteral("Red"), QStringLiteral("Green"),
                               QStringLiteral("Blue")};

// A pair of switches uses its first six fields as mode, timer-pointer and timer values; a group
// of 8 or 16 gives each switch one mode field.
QString fieldLabel(int switches, int field)
{
    static const QStringList Pair{QStringLiteral("PM1:"), QStringLiteral("PM2:"),
                                  QStringLiteral("PT1"),  QStringLiteral("PT2"),
                                  QStringLiteral("T1V"),  QStringLiteral("T2V")};
    static const QStringList Group{QStringLiteral("PM1:"), QStringLiteral("PM2:"),
                                   QStringLiteral("PM3"),  QStringLiteral("PM4"),
                                   QStringLiteral("PM5"),  QStringLiteral("PM6")};
    if (field < Pair.size())
        return switches == 2 ? Pair[field] : Group[field];
    return QStringLiteral("PM%1:").arg(field + 1);
}

int visibleFields(int switches)
{
    return switches == 2 ? 6 : switches;
}

QString orDefault(const QString& text, const QString& fallback)
{
    return text.isEmpty() ? fallback : text;
}

void paint(QFrame* box, const QColor& colour)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, colour);
    box->setPalette(palette);
}
} // namespace

LcdAttributeEditor::LcdAttributeEditor(const char* objectName, LedScale scale, AppState& state,
                                       Prompter& prompter, QWidget* parent)
    : AttributeEditorDialog(objectName, state, prompter, parent)
    , m_scale(scale)
    , m_ledOn(LedCode(scale, {1, 1, 1}))
    , m_ledOff(m_ledOn)
    , m_switchingAttributes(EmptyAttributes)
{
    m_cmbNumbofSwchs = Named<QComboBox>("cmbNumbofSwchs");
    m_cmbNumbofSwchs->addItems(SwitchCounts);
    connect(m_cmbNumbofSwchs, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        m_numbofSwitch = qint16(text.toInt());
        applySwitchCount();
    });

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Image Address:")));
    top->addWidget(m_txtAddress);
    top->addStretch();
    top->addWidget(Named<QLabel>("lblNumSwitches", QStringLiteral("Number of Switches:")));
    top->addWidget(m_cmbNumbofSwchs);

    auto* cycles = new QHBoxLayout;
    cycles->addWidget(buildCycleFrame(true));
    cycles->addWidget(buildCycleFrame(false));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buildFields());
    layout->addLayout(cycles);
    layout->addStretch();
    layout->addLayout(buttonRow());
    LcdAttributeEditor::load();
}

QLayout* LcdAttributeEditor::buildFields()
{
    auto* grid = new QGridLayout;
    for (int i = 0; i < FieldCount; ++i) {
        m_lblAttributes1[i] = new QLabel(fieldLabel(16, i));
        m_lblAttributes1[i]->setObjectName(ControlArrayName("lblAttributes1", i));
        m_txtAttributes[i] = addHexField(ControlArrayName("txtAttributes", i), 2);
        m_lblAttributes1[i]->setBuddy(m_txtAttributes[i]);
        const int row = i / FieldsPerRow;
        const int column = 2 * (i % FieldsPerRow);
        grid->addWidget(m_lblAttributes1[i], row, column, Qt::AlignRight);
        grid->addWidget(m_txtAttributes[i], row, column + 1);
    }
    grid->setColumnStretch(2 * FieldsPerRow, 1);
    return grid;
}

QGroupBox* LcdAttributeEditor::buildCycleFrame(bool on)
{
    auto* frame = Named<QGroupBox>(on ? "fraLEDon" : "fraLEDoff",
                                   on ? QStringLiteral("Select a Color for On Cycle")
                                      : QStringLiteral("Select a Color for Off Cycle"));
    QFrame*& preview = on ? m_picOnCycle : m_picOffCycle;
    preview = Named<QFrame>(on ? "picOnCycle" : "picOffCycle");
    preview->setFrameShape(QFrame::Box);
    preview->setAutoFillBackground(true);
    preview->setMinimumSize(64, 48);

    auto* grid = new QGridLayout(frame);
    grid->addWidget(preview, 0, 0, 3, 1);
    Sliders& sliders = on ? m_sdrLEDOn : m_sdrLEDOff;
    for (int k = 0; k < 3; ++k) {
        auto* label = new QLabel(ChannelNames[k]);
        label->setObjectName(ControlArrayName(on ? "lblOnColor" : "lblOffColor", k));
        sliders[k] = new QSlider(Qt::Horizontal);
        sliders[k]->setObjectName(ControlArrayName(on ? "sdrLEDOn" : "sdrLEDOff", k));
        sliders[k]->setRange(1, LevelCount(m_scale));
        sliders[k]->setPageStep(1);
        sliders[k]->setTickPosition(QSlider::TicksBelow);
        sliders[k]->setMinimumWidth(120);
        label->setBuddy(sliders[k]);
        grid->addWidget(label, k, 1);
        grid->addWidget(sliders[k], k, 2);
        connect(sliders[k], &QSlider::valueChanged, this, [this, preview, &sliders] {
            paint(preview, PreviewColour(m_scale, levels(sliders)));
        });
    }
    grid->setColumnStretch(2, 1);
    return frame;
}

void LcdAttributeEditor::setLEDon(const QString& code)
{
    m_ledOn = orDefault(code, QStringLiteral("0"));
}

void LcdAttributeEditor::setLEDoff(const QString& code)
{
    m_ledOff = orDefault(code, QStringLiteral("0"));
}

void LcdAttributeEditor::setBackgroundColoron(const QString& number)
{
    m_colourOn = orDefault(number, QStringLiteral("0"));
}

void LcdAttributeEditor::setBackgroundColoroff(const QString& number)
{
    m_colourOff = orDefault(number, QStringLiteral("0"));
}

void LcdAttributeEditor::setSwitchingAttributes(const QString& digits)
{
    m_switchingAttributes = orDefault(digits, EmptyAttributes);
}

void LcdAttributeEditor::load()
{
    paint(m_picOnCycle, ColourFromNumberText(m_colourOn));
    paint(m_picOffCycle, ColourFromNumberText(m_colourOff));
    // A record shorter than sixteen fields leaves the fields it does not reach at "00".
    for (int i = 0; i < FieldCount; ++i)
        m_txtAttributes[i]->setText(PadAddress(m_switchingAttributes.mid(2 * qsizetype(i), 2), 2));
    // The boxes keep the record's own colours until the operator moves a slider.
    const LedLevels on = LevelsFromLedCode(m_scale, m_ledOn);
    const LedLevels off = LevelsFromLedCode(m_scale, m_ledOff);
    for (int k = 0; k < 3; ++k) {
        const QSignalBlocker blockOn(m_sdrLEDOn[k]);
        const QSignalBlocker blockOff(m_sdrLEDOff[k]);
        m_sdrLEDOn[k]->setValue(on[k]);
        m_sdrLEDOff[k]->setValue(off[k]);
    }
    if (!SwitchCounts.contains(QString::number(m_numbofSwitch)))
        m_numbofSwitch = 2;
    const QSignalBlocker blockCount(m_cmbNumbofSwchs);
    m_cmbNumbofSwchs->setCurrentText(QString::number(m_numbofSwitch));
    applySwitchCount();
}

void LcdAttributeEditor::applySwitchCount()
{
    const int visible = visibleFields(m_numbofSwitch);
    for (int i = 0; i < FieldCount; ++i) {
        m_lblAttributes1[i]->setText(fieldLabel(m_numbofSwitch, i));
        m_lblAttributes1[i]->setVisible(i < visible);
        m_txtAttributes[i]->setVisible(i < visible);
    }
}

LedLevels LcdAttributeEditor::levels(const Sliders& sliders) const
{
    return {sliders[0]->value(), sliders[1]->value(), sliders[2]->value()};
}

void LcdAttributeEditor::commit()
{
    const LedLevels on = levels(m_sdrLEDOn);
    const LedLevels off = levels(m_sdrLEDOff);
    const QColor onColour = PreviewColour(m_scale, on);
    const QColor offColour = PreviewColour(m_scale, off);
    paint(m_picOnCycle, onColour);
    paint(m_picOffCycle, offColour);
    m_ledOn = LedCode(m_scale, on);
    m_ledOff = LedCode(m_scale, off);
    m_switchingAttributes.clear();
    for (const QLineEdit* field : m_txtAttributes)
        m_switchingAttributes += field->text();
    m_colourOn = QString::number(ColourNumber(onColour));
    m_colourOff = QString::number(ColourNumber(offColour));
    if (m_screen)
        m_screen->setCycleColours(onColour, offColour);
}

bool LcdAttributeEditor::leave()
{
    // After Cancel nothing goes back; otherwise whatever the operator left is taken as selected.
    if (m_cancelChange)
        return true;
    if (!m_checks->checkPending())
        return false;
    commit();
    handBackAddress();
    return true;
}

frmBackground3624::frmBackground3624(AppState& state, Prompter& prompter, QWidget* parent)
    : LcdAttributeEditor("frmBackground3624", LedScale::OnOff, state, prompter, parent)
{
}

frmBackground6432::frmBackground6432(AppState& state, Prompter& prompter, QWidget* parent)
    : LcdAttributeEditor("frmBackground6432", LedScale::FourLevel, state, prompter, parent)
{
}
