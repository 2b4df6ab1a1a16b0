#pragma once

#include <QObject>

#include <functional>
#include <vector>

class Prompter;
class QLineEdit;

// Fills a hex entry box with leading zeros to its width and checks it, telling the operator why
// an entry is refused (the box then keeps the focus). True when the entry is accepted.
bool AcceptHexEntry(QLineEdit* box, int digits, Prompter& prompter);

// The entry boxes of one editor and the check each must pass. A box is checked when the operator
// leaves it after typing in it, except by a click on one of the editor's buttons: Select checks
// what is still unchecked itself, and Cancel must always work. A box selects its whole text when
// it takes the focus, so that typing replaces the value.
class FieldChecks : public QObject
{
    Q_OBJECT
public:
    // True when the entry is accepted; a refusal has already told the operator why.
    using Check = std::function<bool()>;

    explicit FieldChecks(QObject* parent)
        : QObject(parent)
    {
    }

    void add(QLineEdit* box, Check check);
    // Checks, in the order they were added, the boxes typed in since their last check; stops at
    // the first refusal and answers false.
    bool checkPending();
    // The boxes were refilled from the record: nothing typed is waiting any more.
    void forgetPending();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Field
    {
        QLineEdit* box = nullptr;
        Check check;
        bool pending = false;
    };

    bool run(std::size_t index);
    void left(std::size_t index, Qt::FocusReason reason);

    std::vector<Field> m_fields;
    bool m_checking = false;
};
