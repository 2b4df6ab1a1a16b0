#include "AttributeEditorDialog.h"

#include "AppState.h"
#include "Conversions.h"
#include "EditorScreen.h"
#include "FieldChecks.h"
#include "HexFieldEdit.h"
#include "Named.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

QString ControlArrayName(const char* name, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

void FitToDigits(QLineEdit* box, int digits)
{
    const QFontMetrics metrics(box->font());
    // Room for one more digit than the box holds, and the frame around the text.
    box->setFixedWidth(metrics.horizontalAdvance(QString(digits + 1, QLatin1Char('W'))) + 12);
}

AttributeEditorDialog::AttributeEditorDialog(const char* objectName, AppState& state,
                                             Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_state(state)
    , m_prompter(prompter)
    , m_checks(new FieldChecks(this))
{
    setObjectName(QLatin1String(objectName));
    setWindowTitle(QStringLiteral("Switch Attributes"));
    m_txtAddress = Named<QLineEdit>("txtAddress");
    FitToDigits(m_txtAddress, 4);
    m_checks->add(m_txtAddress, [this] {
        const QString address = ValidateAddressField(m_txtAddress, m_state.TypeCode, m_prompter);
        if (address == QLatin1String("Cancel"))
            return false;
        m_state.CurrentAddress = address;
        return true;
    });
}

QLineEdit* AttributeEditorDialog::addHexField(const QString& objectName, int digits)
{
    auto* box = new QLineEdit;
    box->setObjectName(objectName);
    box->setMaxLength(digits);
    FitToDigits(box, digits);
    m_checks->add(box, [this, box, digits] { return AcceptHexEntry(box, digits, m_prompter); });
    return box;
}

QHBoxLayout* AttributeEditorDialog::buttonRow()
{
    m_cmdSelect = Named<QPushButton>("cmdSelect", QStringLiteral("Select"));
    m_cmdCancel = Named<QPushButton>("cmdCancel", QStringLiteral("Cancel"));
    m_cmdSelect->setDefault(true);
    connect(m_cmdSelect, &QPushButton::clicked, this, &AttributeEditorDialog::onSelect);
    connect(m_cmdCancel, &QPushButton::clicked, this, &AttributeEditorDialog::onCancel);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_cmdSelect);
    row->addWidget(m_cmdCancel);
    return row;
}

void AttributeEditorDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        if (m_screen)
            m_txtAddress->setText(m_screen->editorAddressText());
        if (const int width = AddressWidth(m_state.TypeCode); width > 0)
            m_txtAddress->setMaxLength(width);
        load();
        m_checks->forgetPending();
    }
    QDialog::showEvent(event);
}

void AttributeEditorDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape answers like the Cancel button, not like the title-bar close button.
    if (event->matches(QKeySequence::Cancel)) {
        onCancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AttributeEditorDialog::done(int result)
{
    if (leave())
        QDialog::done(result);
}

void AttributeEditorDialog::handBackAddress()
{
    if (m_screen)
        m_screen->setEditorAddressText(m_txtAddress->text());
}

void AttributeEditorDialog::onSelect()
{
    if (!m_checks->checkPending())
        return;
    m_cancelChange = false;
    commit();
    accept();
}

void AttributeEditorDialog::onCancel()
{
    m_cancelChange = true;
    reject();
}
