#include "SwitchTypeIcons.h"

#include "AppState.h"
#include "Decoders.h"

#include <QPainter>

#include <cmath>

namespace {

struct DisplayLook
{
    QColor panel;
    QColor dot;     // invalid: dots in a colour sweep
    bool smallCell; // a display of fewer, larger pixels is drawn with coarser dots
};

DisplayLook lookOf(qint16 typeCode)
{
    switch (typeCode) {
    case SwitchTypeCode::Lcd36x24:
        return {QColor(0xb8, 0xd8, 0x58), QColor(0x20, 0x30, 0x10), true};
    case SwitchTypeCode::Lcd64x32:
        return {QColor(0xf4, 0xf4, 0xec), QColor(0x20, 0x20, 0x20), false};
    case SwitchTypeCode::Mono96x64:
        return {Qt::black, Qt::white, false};
    default:
        return {Qt::black, QColor(), typeCode == SwitchTypeCode::Oled52x36};
    }
}

// The display window inside the key cap, as wide as the type's display is relative to its height.
QRectF displayWindow(qint16 typeCode, const QRectF& cap)
{
    const QSize size = DisplaySize(typeCode);
    const double room = cap.height() - 6;
    const double width = qMin(cap.width() - 6, room * size.width() / size.height());
    const double height = width * size.height() / size.width();
    return QRectF(cap.center().x() - width / 2, cap.center().y() - height / 2, width, height);
}

// A ring of dots, so every type shows a picture on its display.
void drawDots(QPainter& painter, const QRectF& window, const DisplayLook& look)
{
    const double cell = look.smallCell ? 3.0 : 2.0;
    const int columns = int(window.width() / cell);
    const int rows = int(window.height() / cell);
    const QPointF centre(columns / 2.0, rows / 2.0);
    const double radius = qMin(columns, rows) / 2.0 - 0.5;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            const double distance = std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y());
            if (std::abs(distance - radius * 0.7) > 0.8)
                continue;
            const QColor colour = look.dot.isValid()
                                      ? look.dot
                                      : QColor::fromHsv((x * 360 / columns) % 360, 220, 255);
            painter.fillRect(QRectF(window.left() + x * cell, window.top() + y * cell, cell, cell),
                             colour);
        }
    }
}

} // namespace

QPixmap SwitchTypeIcon(qint16 typeCode)
{
    QPixmap pixmap(SwitchIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF cap(1, 1, SwitchIconSize.width() - 2, SwitchIconSize.height() - 2);
    painter.setPen(QPen(QColor(0x50, 0x50, 0x58), 1));
    painter.setBrush(QColor(0xc8, 0xc8, 0xd0));
    painter.drawRoundedRect(cap, 4, 4);

    const DisplayLook look = lookOf(typeCode);
    const QRectF window = displayWindow(typeCode, cap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(window, look.panel);
    drawDots(painter, window, look);
    return pixmap;
}
