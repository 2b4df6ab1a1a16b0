#pragma once

#include <QImage>
#include <QStyledItemDelegate>

class QAbstractItemModel;

// One address of the controller view as a cell: the picture as the display shows it (each display
// pixel a block, no smoothing, on the display's dark glass), the address and type, the file, the
// time it was sent and the outcome in its colour. The address being sent is framed.
class AddressDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // Every cell has this size: the picture box and four lines of text.
    static QSize cellSize(const QFontMetrics& metrics);
};

// Every row of `model` drawn by `delegate` into one picture, `columns` cells to a line, in the
// given font: the grid as the view shows it, for printing or filing.
QImage ContactSheet(const QAbstractItemModel& model, const AddressDelegate& delegate, int columns,
                    const QFont& font);
