#include "FieldChecks.h"

#include "Conversions.h"
#include "HexFieldEdit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

bool AcceptHexEntry(QLineEdit* box, int digits, Prompter& prompter)
{
    box->setText(PadAddress(box->text(), digits));
    const qint64 maximum = (qint64(1) << (4 * digits)) - 1;
    return ValidateHexField(box, digits, maximum, prompter) != QLatin1String("Cancel");
}

void FieldChecks::add(QLineEdit* box, Check check)
{
    const std::size_t index = m_fields.size();
    m_fields.push_back({box, std::move(check), false});
    box->installEventFilter(this);
    connect(box, &QLineEdit::textEdited, this, [this, index] { m_fields[index].pending = true; });
}

bool FieldChecks::checkPending()
{
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].pending && !run(i))
            return false;
    }
    return true;
}

void FieldChecks::forgetPending()
{
    for (Field& field : m_fields)
        field.pending = false;
}

bool FieldChecks::eventFilter(QObject* watched, QEvent* event)
{
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        QLineEdit* box = m_fields[i].box;
        if (watched != box)
            continue;
        // Deferred, so that the click which gave the focus cannot place the caret afterwards.
        if (event->type() == QEvent::FocusIn)
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
        else if (event->type() == QEvent::FocusOut)
            left(i, static_cast<QFocusEvent*>(event)->reason());
    }
    return false;
}

bool FieldChecks::run(std::size_t index)
{
    m_checking = true;
    const bool accepted = m_fields[index].check();
    m_checking = false;
    if (accepted)
        m_fields[index].pending = false;
    return accepted;
}

void FieldChecks::left(std::size_t index, Qt::FocusReason reason)
{
    // A message box or another window taking the focus is not the operator leaving the box.
    if (m_checking || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    // A click on a button runs the button's own rule: Select checks, Cancel does not.
    if (reason == Qt::MouseFocusReason &&
        qobject_cast<QAbstractButton*>(QApplication::focusWidget()))
        return;
    // The check may show a message and hand the focus back; run it once this focus change is over.
    QLineEdit* box = m_fields[index].box;
    QTimer::singleShot(0, box, [this, index, box] {
        if (m_fields[index].pending && !m_checking && box->window()->isVisible())
            run(index);
    });
}
