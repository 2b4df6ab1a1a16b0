#include "AddressDelegate.h"

#include "ControllerQuery.h"
#include "ControllerViewModel.h"

#include <QPainter>

namespace {

// The picture box holds the largest display (96x64) at one and a half times its size, so a small
// display's pixels stay visible as blocks.
const QSize PictureBox(144, 96);
constexpr int Margin = 6;
constexpr int TextLines = 4;
constexpr int SendingFrame = 3;
const QColor Glass(0x1c, 0x1c, 0x1c);
const QColor SendingColour(0x1f, 0x5f, 0xd0);

QRect Fitted(const QSize& picture, const QRect& box)
{
    const QSize size = picture.scaled(box.size(), Qt::KeepAspectRatio);
    return QRect(box.center() - QPoint(size.width() / 2, size.height() / 2), size);
}

void PaintPicture(QPainter* painter, const QRect& box, const QModelIndex& index)
{
    painter->fillRect(box, Glass);
    const QImage picture = index.data(Qt::DecorationRole).value<QImage>();
    if (picture.isNull()) {
        painter->setPen(Qt::lightGray);
        painter->drawText(box, Qt::AlignCenter, QStringLiteral("empty"));
        return;
    }
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->drawImage(Fitted(picture.size(), box), picture);
}

} // namespace

QSize AddressDelegate::cellSize(const QFontMetrics& metrics)
{
    return QSize(PictureBox.width() + 2 * Margin,
                 PictureBox.height() + TextLines * metrics.height() + 3 * Margin);
}

QSize AddressDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return cellSize(option.fontMetrics);
}

void AddressDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    painter->save();
    const QRect cell = option.rect.adjusted(1, 1, -1, -1);
    const bool sending = index.data(ControllerViewModel::SendingRole).toBool();
    painter->fillRect(cell, option.state & QStyle::State_Selected
                                ? option.palette.highlight().color().lighter(170)
                                : option.palette.base().color());
    painter->setPen(sending ? QPen(SendingColour, SendingFrame) : QPen(option.palette.mid(), 1));
    painter->drawRect(cell.adjusted(1, 1, -1, -1));

    const QRect box(cell.left() + Margin - 1, cell.top() + Margin - 1, PictureBox.width(),
                    PictureBox.height());
    PaintPicture(painter, box, index);

    const int line = option.fontMetrics.height();
    QRect text(box.left(), box.bottom() + Margin, box.width(), line);
    const auto write = [&](const QString& words, const QColor& colour, bool bold = false) {
        QFont font = option.font;
        font.setBold(bold);
        painter->setFont(font);
        painter->setPen(colour);
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetrics(font).elidedText(words, Qt::ElideMiddle, text.width()));
        text.translate(0, line);
    };
    const QColor ink = option.palette.text().color();
    write(QStringLiteral("%1  %2").arg(
              index.data(ControllerViewModel::AddressRole).toString(),
              ControllerSettingText(index.data(ControllerViewModel::TypeRole).toInt())),
          ink, true);
    write(index.data(ControllerViewModel::SourceRole).toString(), ink);
    const QDateTime sent = index.data(ControllerViewModel::SentRole).toDateTime();
    write(sent.isValid() ? sent.toString(QStringLiteral("HH:mm:ss")) : QStringLiteral("-"), ink);
    if (sending) {
        write(QStringLiteral("being sent"), SendingColour, true);
    } else {
        write(index.data(ControllerViewModel::OutcomeRole).toString(),
              index.data(ControllerViewModel::OutcomeColourRole).value<QColor>(), true);
    }
    painter->restore();
}

QImage ContactSheet(const QAbstractItemModel& model, const AddressDelegate& delegate, int columns,
                    const QFont& font)
{
    QStyleOptionViewItem option;
    option.font = font;
    option.fontMetrics = QFontMetrics(font);
    option.state = QStyle::State_Enabled;
    const QSize cell = AddressDelegate::cellSize(option.fontMetrics);
    const int count = model.rowCount();
    const int lines = (count + columns - 1) / columns;
    QImage sheet(cell.width() * std::min(count, columns), cell.height() * lines,
                 QImage::Format_RGB32);
    sheet.fill(option.palette.base().color());
    QPainter painter(&sheet);
    for (int row = 0; row < count; ++row) {
        option.rect =
            QRect(QPoint((row % columns) * cell.width(), (row / columns) * cell.height()), cell);
        delegate.paint(&painter, option, model.index(row, 0));
    }
    return sheet;
}
