#include "OledAttributeEditor.h"

#include "Conversions.h"

#include <QFormLayout>
#include <QFrame>
#include <QLineEdit>
#include <QVBoxLayout>

OledAttributeEditor::OledAttributeEditor(const char* objectName, QList<AttributeField> fields,
                                         const QString& emptyAttributes, AppState& state,
                                         Prompter& prompter, QWidget* parent)
    : AttributeEditorDialog(objectName, state, prompter, parent)
    , m_fields(std::move(fields))
    , m_emptyAttributes(emptyAttributes)
    , m_switchingAttributes(emptyAttributes)
{
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    form->addRow(QStringLiteral("Image Address:"), m_txtAddress);
    auto* rule = new QFrame;
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    form->addRow(rule);
    for (int i = 0; i < m_fields.size(); ++i) {
        m_txtAttributes << addHexField(ControlArrayName("txtAttributes", i), m_fields[i].digits);
        form->addRow(QLatin1String(m_fields[i].label), m_txtAttributes.last());
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addSpacing(8);
    layout->addLayout(buttonRow());
    // Wide enough for the caption and for both buttons beside each other.
    setMinimumWidth(300);
    OledAttributeEditor::load();
}

void OledAttributeEditor::setSwitchingAttributes(const QString& digits)
{
    m_switchingAttributes = digits.isEmpty() ? m_emptyAttributes : digits;
}

void OledAttributeEditor::load()
{
    // Each field takes its own number of digits in turn; digits beyond the last field are not
    // part of the record, and a field the text does not reach shows zeros.
    int position = 0;
    for (int i = 0; i < m_fields.size(); ++i) {
        const int digits = m_fields[i].digits;
        m_txtAttributes[i]->setText(
            PadAddress(m_switchingAttributes.mid(position, digits), digits));
        position += digits;
    }
}

void OledAttributeEditor::commit()
{
    m_switchingAttributes.clear();
    for (const QLineEdit* field : m_txtAttributes)
        m_switchingAttributes += field->text();
}

bool OledAttributeEditor::leave()
{
    handBackAddress();
    return true;
}

frmBackgroundOLED::frmBackgroundOLED(AppState& state, Prompter& prompter, QWidget* parent)
    : OledAttributeEditor("frmBackgroundOLED",
                          {{"Left Switch:", 4},
                           {"Right Switch:", 4},
                           {"End Pointer:", 4},
                           {"Timer 1 Value:", 2},
                           {"Timer 2 Value:", 2}},
                          QString(32, QLatin1Char('0')), state, prompter, parent)
{
}

frmBackground96x64OLED::frmBackground96x64OLED(AppState& state, Prompter& prompter, QWidget* parent)
    : OledAttributeEditor("frmBackground96x64OLED",
                          {{"Top Rocker:", 4},
                           {"Middle Rocker:", 4},
                           {"Bottom Rocker:", 4},
                           {"End Pointer:", 4},
                           {"Timer 1 Value:", 2},
                           {"Timer 2 Value:", 2},
                           {"Left Module:", 4},
                           {"Right Module:", 4}},
                          QString(28, QLatin1Char('0')), state, prompter, parent)
{
}
