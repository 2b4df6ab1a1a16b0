#include "ListSelection.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>

bool SelectListEntrySilently(QWidget* control, int n)
{
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(n);
        return combo->currentIndex() == n;
    }
    if (auto* list = qobject_cast<QListWidget*>(control)) {
        const QSignalBlocker blocker(list);
        list->setCurrentRow(n);
        return list->currentRow() == n;
    }
    return false;
}
