#pragma once

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

// A photo as an operator's camera takes it, drawn in code at any size: an evening harbour with a
// sky gradient, a low sun, hills, a lighthouse and rippling water, with fine grain, so that every
// conversion meets soft gradients, hard edges and noise.
inline QImage SamplePhoto(QSize size)
{
    QImage photo(size, QImage::Format_RGB32);
    const qreal w = size.width(), h = size.height();
    QPainter p(&photo);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h * 0.62);
    sky.setColorAt(0, QColor(38, 52, 110));
    sky.setColorAt(0.6, QColor(236, 130, 84));
    sky.setColorAt(1, QColor(252, 206, 120));
    p.fillRect(photo.rect(), sky);
    QRadialGradient sun(w * 0.68, h * 0.5, h * 0.16);
    sun.setColorAt(0, QColor(255, 250, 220));
    sun.setColorAt(0.45, QColor(255, 226, 140));
    sun.setColorAt(1, QColor(255, 200, 120, 0));
    p.fillRect(photo.rect(), sun);
    QPainterPath hills(QPointF(0, h * 0.62));
    hills.cubicTo(w * 0.2, h * 0.42, w * 0.35, h * 0.5, w * 0.5, h * 0.58);
    hills.cubicTo(w * 0.62, h * 0.52, w * 0.8, h * 0.55, w, h * 0.6);
    hills.lineTo(w, h * 0.62);
    p.fillPath(hills, QColor(44, 40, 60));
    QLinearGradient water(0, h * 0.62, 0, h);
    water.setColorAt(0, QColor(200, 120, 90));
    water.setColorAt(1, QColor(20, 36, 70));
    p.fillRect(QRectF(0, h * 0.62, w, h * 0.38), water);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 40; ++i) { // ripples reflecting the sun
        const qreal y = h * (0.64 + 0.009 * i);
        p.setBrush(QColor(255, 230, 170, 200 - 4 * i));
        p.drawRoundedRect(
            QRectF(w * (0.6 - 0.002 * i), y, w * (0.16 + 0.004 * i) * (i % 3 + 1) / 3, h * 0.004),
            h * 0.002, h * 0.002);
    }
    const QPolygonF tower({QPointF(w * 0.22, h * 0.62), QPointF(w * 0.25, h * 0.3),
                           QPointF(w * 0.28, h * 0.3), QPointF(w * 0.31, h * 0.62)});
    p.setBrush(QColor(240, 236, 228));
    p.drawPolygon(tower);
    p.setBrush(QColor(190, 40, 40));
    for (int band = 0; band < 3; ++band)
        p.drawRect(QRectF(w * (0.228 + 0.006 * band), h * (0.36 + 0.09 * band),
                          w * (0.074 - 0.012 * band), h * 0.04));
    p.setBrush(QColor(255, 244, 170));
    p.drawEllipse(QPointF(w * 0.265, h * 0.27), w * 0.025, h * 0.03);
    p.end();
    quint32 seed = 12345; // grain: the same photo on every run
    for (int y = 0; y < photo.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = int(seed >> 28) - 8;
            const auto add = [grain](int c) { return qBound(0, c + grain, 255); };
            line[x] = qRgb(add(qRed(line[x])), add(qGreen(line[x])), add(qBlue(line[x])));
        }
    }
    return photo;
}
