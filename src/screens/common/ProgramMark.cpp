#include "ProgramMark.h"

#include <QPainter>

QPixmap ProgramMark(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x1f, 0x4e, 0x9a));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(1, 1, size - 2, size - 2), size / 6.0, size / 6.0);
    painter.setPen(QPen(Qt::white, size / 9.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF v[] = {
        {size * 0.28, size * 0.28}, {size * 0.5, size * 0.74}, {size * 0.72, size * 0.28}};
    painter.drawPolyline(v, 3);
    return pixmap;
}
