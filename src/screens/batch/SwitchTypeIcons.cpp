#include "SwitchTypeIcons.h"

#include "AppState.h"
#include "Decoders.h"

#include <QConicalGradient>
#include <QPainter>

namespace {

struct DisplayLook
{
    QColor panel;
    QColor dot;  // invalid: all colours, as a colour display shows them
    bool coarse; // a display of fewer, larger pixels is drawn with a thicker line
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

// A ring on the display, so every type shows a picture: one colour, or a colour wheel.
void drawRing(QPainter& painter, const QRectF& window, const DisplayLook& look)
{
    const double side = qMin(window.width(), window.height()) * 0.7;
    const QRectF ring(window.center().x() - side / 2, window.center().y() - side / 2, side, side);
    QPen pen;
    pen.setWidthF(look.coarse ? 2.5 : 1.8);
    if (look.dot.isValid()) {
        pen.setColor(look.dot);
    } else {
        QConicalGradient wheel(ring.center(), 0);
        for (int step = 0; step <= 6; ++step)
            wheel.setColorAt(step / 6.0, QColor::fromHsv((step * 60) % 360, 230, 255));
        pen.setBrush(wheel);
    }
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(ring);
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
    painter.fillRect(window, look.panel);
    drawRing(painter, window, look);
    return pixmap;
}
