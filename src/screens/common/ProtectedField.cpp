#include "ProtectedField.h"

#include "Named.h"

#include <QEvent>
#include <QLineEdit>

namespace {

class FieldGuard final : public QObject
{
public:
    explicit FieldGuard(QLineEdit* box)
        : QObject(box)
        , m_box(box)
    {
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn) {
            m_text = m_box->text();
            // Selecting on the focus event itself is undone by the click that gave the focus.
            QMetaObject::invokeMethod(m_box, &QLineEdit::selectAll, Qt::QueuedConnection);
        } else if (event->type() == QEvent::FocusOut) {
            m_box->setText(m_text);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QLineEdit* m_box;
    QString m_text;
};

} // namespace

void ProtectField(QLineEdit* box)
{
    new FieldGuard(box);
}

QLineEdit* ProtectedBox(const char* objectName)
{
    auto* box = Named<QLineEdit>(objectName);
    ProtectField(box);
    return box;
}
