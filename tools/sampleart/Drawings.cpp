#include "Drawings.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>
#include <functional>

namespace {

// Pictures are designed in display pixels and painted on a canvas this many times larger, then
// scaled down, so that edges come out smooth on 16-bit colour displays and shapes keep their
// weight when cut to one bit.
constexpr int Supersample = 8;

QImage render(QSize size, const std::function<void(QPainter&)>& draw)
{
    QImage canvas(size * Supersample, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(Supersample, Supersample);
    draw(p);
    p.end();
    return canvas.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// 1-bit pictures: white clear, black drawn; half-covered pixels go to whichever is nearer.
QImage renderOneBit(QSize size, QColor background, const std::function<void(QPainter&)>& draw)
{
    QImage grey = render(size, [&](QPainter& p) {
        p.fillRect(QRectF(QPointF(0, 0), size), background);
        draw(p);
    });
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x)
            grey.setPixel(x, y,
                          qGray(grey.pixel(x, y)) > 127 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return grey;
}

void fillVertical(QPainter& p, const QRectF& area, const QList<QPair<qreal, QColor>>& stops)
{
    QLinearGradient g(area.topLeft(), area.bottomLeft());
    for (const auto& [at, colour] : stops)
        g.setColorAt(at, colour);
    p.fillRect(area, g);
}

void disc(QPainter& p, QPointF centre, qreal rx, qreal ry, const QBrush& brush)
{
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawEllipse(centre, rx, ry);
}

QPolygonF polygon(std::initializer_list<QPointF> points)
{
    return QPolygonF(QList<QPointF>(points));
}

// --- the start-up picture -----------------------------------------------------------------

void eucalyptusSprig(QPainter& p, QPointF base, qreal angle, qreal length)
{
    p.save();
    p.translate(base);
    p.rotate(angle);
    p.setPen(QPen(QColor(0x6b, 0x4a, 0x2f), 0.7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, 0), QPointF(length, 0));
    for (int i = 1; i <= 4; ++i) {
        const qreal x = length * i / 5.0;
        for (int side : {-1, 1}) {
            p.save();
            p.translate(x, 0);
            p.rotate(side * 40);
            p.setPen(QPen(QColor(0x3c, 0x74, 0x52), 0.35));
            p.setBrush(QColor(i % 2 ? 0x7c : 0x92, 0xc4, 0x96));
            p.drawEllipse(QPointF(3.2, 0), 3.4, 1.25);
            p.restore();
        }
    }
    p.restore();
}

void fluffyEar(QPainter& p, QPointF centre, qreal radius)
{
    const QColor fur(0x86, 0x90, 0x9c);
    disc(p, centre, radius, radius, fur);
    for (int i = 0; i < 14; ++i) {
        const qreal a = i * 2 * M_PI / 14;
        disc(p, centre + QPointF(std::cos(a), std::sin(a)) * radius * 0.92, 2.0, 2.0, fur);
    }
    QRadialGradient inner(centre + QPointF(0.5, 1), radius * 0.62);
    inner.setColorAt(0, QColor(0xfb, 0xf3, 0xf1));
    inner.setColorAt(0.75, QColor(0xe9, 0xdc, 0xdc));
    inner.setColorAt(1, QColor(0xc5, 0xc0, 0xc4));
    disc(p, centre + QPointF(0.5, 1), radius * 0.6, radius * 0.6, inner);
}

QImage koala()
{
    return render({64, 48}, [](QPainter& p) {
        fillVertical(p, {0, 0, 64, 48},
                     {{0, QColor(0x8e, 0xd0, 0xee)}, {1, QColor(0xe4, 0xf4, 0xe4)}});
        eucalyptusSprig(p, {-2, 40}, -28, 16);
        eucalyptusSprig(p, {66, 38}, 205, 15);
        disc(p, {32, 53}, 25, 14, QColor(0x80, 0x8a, 0x96)); // shoulders
        fluffyEar(p, {14, 15}, 10);
        fluffyEar(p, {50, 15}, 10);
        QRadialGradient head(QPointF(32, 21), 20);
        head.setColorAt(0, QColor(0xb9, 0xc3, 0xcd));
        head.setColorAt(1, QColor(0x8a, 0x94, 0xa0));
        disc(p, {32, 26}, 18.5, 16, head);
        disc(p, {32, 38.3}, 6.5, 3.3, QColor(0xc4, 0xcc, 0xd4)); // chin
        for (qreal x : {24.5, 39.5}) {
            disc(p, {x, 23.5}, 2.1, 2.3, QColor(0x14, 0x16, 0x1a));
            disc(p, {x + 0.7, 22.8}, 0.7, 0.7, Qt::white);
        }
        QRadialGradient nose(QPointF(30.5, 27), 8);
        nose.setColorAt(0, QColor(0x4a, 0x4f, 0x58));
        nose.setColorAt(1, QColor(0x1e, 0x20, 0x25));
        QPainterPath nosePath;
        nosePath.moveTo(32, 23.2);
        nosePath.cubicTo(37.5, 23.2, 38, 30, 36.5, 34);
        nosePath.cubicTo(35.5, 36.4, 28.5, 36.4, 27.5, 34);
        nosePath.cubicTo(26, 30, 26.5, 23.2, 32, 23.2);
        p.setBrush(nose);
        p.drawPath(nosePath);
        disc(p, {30.3, 26.3}, 1.1, 1.8, QColor(0x7a, 0x80, 0x8a));
        p.setPen(QPen(QColor(0x50, 0x55, 0x5e), 0.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath mouth;
        mouth.moveTo(29.6, 38.2);
        mouth.quadTo(32, 39.6, 34.4, 38.2);
        p.drawPath(mouth);
    });
}

// --- OLED 64x48 and 52x36 -------------------------------------------------------------------

QImage sunset()
{
    return render({64, 48}, [](QPainter& p) {
        fillVertical(p, {0, 0, 64, 31},
                     {{0, QColor(0x2a, 0x18, 0x5a)},
                      {0.45, QColor(0x9a, 0x2e, 0x6e)},
                      {0.8, QColor(0xf2, 0x66, 0x3c)},
                      {1, QColor(0xff, 0xb6, 0x4a)}});
        QRadialGradient sun(QPointF(32, 30), 10);
        sun.setColorAt(0, QColor(0xff, 0xf6, 0xb0));
        sun.setColorAt(1, QColor(0xff, 0xb8, 0x3a));
        disc(p, {32, 30}, 9.5, 9.5, sun);
        fillVertical(p, {0, 30.5, 64, 17.5},
                     {{0, QColor(0x4a, 0x2a, 0x66)}, {1, QColor(0x0e, 0x14, 0x34)}});
        for (int i = 0; i < 7; ++i) {
            const qreal half = 9 - i * 1.1;
            QColor c(0xff, 0xc0, 0x5a);
            c.setAlphaF(0.9 - i * 0.11);
            p.fillRect(QRectF(32 - half + (i % 2) * 1.5, 31.6 + i * 2.2, 2 * half, 0.9), c);
        }
        p.setPen(QPen(QColor(0x1a, 0x0e, 0x2c), 0.7, Qt::SolidLine, Qt::RoundCap));
        for (QPointF b : {QPointF(12, 9), QPointF(18, 12.5), QPointF(9, 14)}) {
            QPainterPath bird;
            bird.moveTo(b + QPointF(-2, -0.8));
            bird.quadTo(b + QPointF(-1, -1.2), b);
            bird.quadTo(b + QPointF(1, -1.2), b + QPointF(2, -0.8));
            p.setBrush(Qt::NoBrush);
            p.drawPath(bird);
        }
        const QColor palm(0x14, 0x0a, 0x22);
        p.setPen(QPen(palm, 1.5, Qt::SolidLine, Qt::RoundCap));
        QPainterPath trunk;
        trunk.moveTo(50, 49);
        trunk.quadTo(51, 36, 55.5, 22);
        p.drawPath(trunk);
        p.setPen(QPen(palm, 1.1, Qt::SolidLine, Qt::RoundCap));
        const QPointF top(55.5, 22);
        for (const QPointF& tip : {QPointF(44, 24), QPointF(47, 18), QPointF(56, 15),
                                   QPointF(64, 19), QPointF(66, 26), QPointF(49, 28)}) {
            QPainterPath leaf;
            leaf.moveTo(top);
            leaf.quadTo((top + tip) / 2 + QPointF(0, -3), tip);
            p.drawPath(leaf);
        }
    });
}

QImage clownfish()
{
    return render({52, 36}, [](QPainter& p) {
        fillVertical(p, {0, 0, 52, 36},
                     {{0, QColor(0x4c, 0xb8, 0xe8)}, {1, QColor(0x0a, 0x36, 0x70)}});
        QColor ray(255, 255, 255, 40);
        p.setPen(Qt::NoPen);
        p.setBrush(ray);
        p.drawPolygon(polygon({{8, 0}, {14, 0}, {6, 36}, {0, 36}}));
        p.drawPolygon(polygon({{30, 0}, {34, 0}, {40, 36}, {33, 36}}));
        disc(p, {26, 38}, 30, 5, QColor(0xd8, 0xc0, 0x86));
        p.setPen(QPen(QColor(0x2f, 0x9a, 0x4a), 1.4, Qt::SolidLine, Qt::RoundCap));
        for (qreal x : {5.0, 8.0, 46.0}) {
            QPainterPath weed;
            weed.moveTo(x, 36);
            weed.cubicTo(x - 2.5, 31, x + 2.5, 27, x, 22);
            p.drawPath(weed);
        }
        const QColor orange(0xff, 0x78, 0x14);
        const QColor edge(0x5a, 0x22, 0x00);
        p.setPen(QPen(edge, 0.5));
        p.setBrush(orange);
        p.drawPolygon(polygon({{16, 17}, {8, 10.5}, {10, 17}, {8, 23.5}}));
        p.drawEllipse(QPointF(25, 9.8), 5, 2.6);
        p.drawEllipse(QPointF(24, 24.2), 4, 2.2);
        QPainterPath body;
        body.addEllipse(QPointF(27, 17), 13, 7.5);
        p.drawPath(body);
        p.setClipPath(body);
        for (qreal x : {20.5, 30.5}) {
            p.setPen(QPen(QColor(0x1a, 0x0a, 0x00), 0.6));
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(x, 17), 2.2, 9);
        }
        p.setClipping(false);
        disc(p, {35.5, 14.8}, 2.0, 2.0, Qt::white);
        disc(p, {36, 14.8}, 1.1, 1.1, QColor(0x10, 0x10, 0x10));
        p.setPen(QPen(QColor(0xe8, 0xf8, 0xff), 0.5));
        p.setBrush(Qt::NoBrush);
        for (const auto& [c, r] :
             {std::pair{QPointF(43, 10), 1.6}, {QPointF(46, 5), 1.1}, {QPointF(44.5, 1.8), 0.8}})
            p.drawEllipse(c, r, r);
    });
}

// --- LCD 36x24 and 64x32: black draws a driven (dark) segment --------------------------------

QImage powerSymbol()
{
    return renderOneBit({36, 24}, Qt::white, [](QPainter& p) {
        p.setPen(QPen(Qt::black, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(9.5, 4, 17, 17), 125 * 16, 290 * 16);
        p.drawLine(QPointF(18, 2.6), QPointF(18, 11));
    });
}

QImage speaker()
{
    return renderOneBit({64, 32}, Qt::white, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRect(QRectF(12, 12, 6, 8));
        p.drawPolygon(polygon({{17, 12}, {26, 4.5}, {26, 27.5}, {17, 20}}));
        p.setPen(QPen(Qt::black, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        for (qreal r : {6.5, 12.0, 17.5})
            p.drawArc(QRectF(26 - r, 16 - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    });
}

// --- MONO 96x64: white lights a pixel --------------------------------------------------------

QPainterPath gear(QPointF centre, qreal radius, int teeth, qreal hole)
{
    QPainterPath wheel;
    wheel.addEllipse(centre, radius * 0.8, radius * 0.8);
    for (int i = 0; i < teeth; ++i) {
        QPainterPath tooth;
        const qreal w = radius * 2.4 / teeth;
        tooth.addRoundedRect(QRectF(-w / 2, -radius, w, radius * 0.4), w * 0.25, w * 0.25);
        QTransform t;
        t.translate(centre.x(), centre.y());
        t.rotate(360.0 * i / teeth);
        wheel = wheel.united(t.map(tooth));
    }
    QPainterPath opening;
    opening.addEllipse(centre, hole, hole);
    return wheel.subtracted(opening);
}

QImage gears()
{
    return renderOneBit({96, 64}, Qt::black, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(gear({40, 33}, 24, 10, 7));
        p.drawPath(gear({74.5, 17.5}, 12.5, 8, 3.5));
        p.drawPath(gear({76, 47}, 9, 7, 2.6));
    });
}

QImage bell()
{
    return renderOneBit({96, 64}, Qt::black, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(48, 8.5), 3.2, 3.2);
        QPainterPath body;
        body.moveTo(32, 45);
        body.cubicTo(37, 40, 35, 28, 38, 20);
        body.cubicTo(41, 11, 55, 11, 58, 20);
        body.cubicTo(61, 28, 59, 40, 64, 45);
        body.closeSubpath();
        p.drawPath(body);
        p.drawRoundedRect(QRectF(29, 44, 38, 5), 2.5, 2.5);
        p.drawEllipse(QPointF(48, 53), 4, 4);
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        for (qreal r : {8.0, 14.0}) {
            p.drawArc(QRectF(48 - 18 - r, 30 - r, 2 * r, 2 * r), 135 * 16, 90 * 16);
            p.drawArc(QRectF(48 + 18 - r, 30 - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
        }
    });
}

// --- COLOR 96x64 ---------------------------------------------------------------------------

void mountain(QPainter& p, QPointF peak, qreal halfWidth, qreal base, QColor rock, bool snow)
{
    p.setPen(Qt::NoPen);
    p.setBrush(rock);
    p.drawPolygon(polygon({{peak.x() - halfWidth, base}, peak, {peak.x() + halfWidth, base}}));
    p.setBrush(rock.darker(125));
    p.drawPolygon(
        polygon({peak, {peak.x() + halfWidth, base}, {peak.x() + halfWidth * 0.3, base}}));
    if (!snow)
        return;
    const qreal s = (base - peak.y()) * 0.28;
    const qreal k = halfWidth / (base - peak.y());
    p.setBrush(QColor(0xf4, 0xf8, 0xff));
    p.drawPolygon(polygon({peak,
                           {peak.x() + s * k, peak.y() + s},
                           {peak.x() + s * k * 0.3, peak.y() + s * 0.7},
                           {peak.x() - s * k * 0.2, peak.y() + s * 1.05},
                           {peak.x() - s * k, peak.y() + s}}));
}

void pine(QPainter& p, QPointF foot, qreal height)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1c, 0x50, 0x2e));
    for (int i = 0; i < 3; ++i) {
        const qreal top = foot.y() - height + i * height * 0.22;
        const qreal half = height * (0.22 + i * 0.08);
        p.drawPolygon(polygon({{foot.x(), top},
                               {foot.x() + half, top + height * 0.42},
                               {foot.x() - half, top + height * 0.42}}));
    }
}

void mountainRange(QPainter& p)
{
    mountain(p, {22, 20}, 26, 42, QColor(0x7d, 0x8c, 0xaa), true);
    mountain(p, {76, 16}, 30, 42, QColor(0x6a, 0x78, 0x98), true);
    mountain(p, {48, 10}, 28, 42, QColor(0x56, 0x62, 0x80), true);
}

QImage mountains()
{
    return render({96, 64}, [](QPainter& p) {
        fillVertical(p, {0, 0, 96, 42},
                     {{0, QColor(0x3c, 0x84, 0xd6)}, {1, QColor(0xc4, 0xe6, 0xf8)}});
        QRadialGradient glow(QPointF(80, 9), 12);
        glow.setColorAt(0, QColor(0xff, 0xf2, 0xa0));
        glow.setColorAt(0.5, QColor(0xff, 0xe0, 0x70, 200));
        glow.setColorAt(1, QColor(0xff, 0xe0, 0x70, 0));
        disc(p, {80, 9}, 12, 12, glow);
        mountainRange(p);
        fillVertical(p, {0, 41, 96, 7},
                     {{0, QColor(0x5c, 0xa8, 0x4c)}, {1, QColor(0x3a, 0x80, 0x3a)}});
        fillVertical(p, {0, 48, 96, 16},
                     {{0, QColor(0x4a, 0x8c, 0xcc)}, {1, QColor(0x1a, 0x46, 0x86)}});
        p.save();
        p.setOpacity(0.3);
        p.setClipRect(QRectF(0, 48, 96, 16));
        p.translate(0, 48);
        p.scale(1, -0.5);
        p.translate(0, -42);
        mountainRange(p);
        p.restore();
        for (const auto& [x, h] :
             {std::pair{6.0, 11.0}, {11.0, 8.0}, {70.0, 9.0}, {88.0, 12.0}, {93.0, 8.0}})
            pine(p, {x, 48}, h);
    });
}

QImage rocket()
{
    return render({96, 64}, [](QPainter& p) {
        fillVertical(p, {0, 0, 96, 64},
                     {{0, QColor(0x06, 0x08, 0x22)}, {1, QColor(0x1e, 0x1a, 0x4e)}});
        QRandomGenerator stars(7);
        for (int i = 0; i < 46; ++i) {
            const QPointF at(stars.bounded(96.0), stars.bounded(64.0));
            const qreal r = 0.3 + stars.bounded(0.5);
            disc(p, at, r, r, QColor(0xff, 0xf4, 0xd8, 120 + stars.bounded(135)));
        }
        const QPointF planet(75, 47);
        auto ring = [&](int start) {
            p.save();
            p.translate(planet);
            p.rotate(-18);
            p.setPen(QPen(QColor(0xf0, 0xd2, 0x96), 1.3));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(-20, -4.5, 40, 9), start * 16, 180 * 16);
            p.restore();
        };
        ring(0);
        QRadialGradient surface(planet + QPointF(-5, -5), 18);
        surface.setColorAt(0, QColor(0xf4, 0xa2, 0x52));
        surface.setColorAt(1, QColor(0x8a, 0x34, 0x18));
        disc(p, planet, 12, 12, surface);
        ring(180);
        p.translate(34, 33);
        p.rotate(38);
        QLinearGradient flame(0, 11, 0, 26);
        flame.setColorAt(0, QColor(0xff, 0xf2, 0x90));
        flame.setColorAt(0.5, QColor(0xff, 0x90, 0x20));
        flame.setColorAt(1, QColor(0xe0, 0x30, 0x10, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(flame);
        p.drawPolygon(polygon({{-4, 11}, {4, 11}, {0, 26}}));
        const QColor red(0xe2, 0x3a, 0x3a);
        p.setBrush(red);
        p.drawPolygon(polygon({{-5, 4}, {-10, 13}, {-4.5, 11}}));
        p.drawPolygon(polygon({{5, 4}, {10, 13}, {4.5, 11}}));
        QLinearGradient hull(-5, 0, 5, 0);
        hull.setColorAt(0, QColor(0xc8, 0xce, 0xda));
        hull.setColorAt(0.4, QColor(0xfa, 0xfc, 0xff));
        hull.setColorAt(1, QColor(0x9a, 0xa2, 0xb2));
        QPainterPath body;
        body.moveTo(0, -18);
        body.cubicTo(6, -12, 6, 4, 4.5, 12);
        body.lineTo(-4.5, 12);
        body.cubicTo(-6, 4, -6, -12, 0, -18);
        p.setBrush(hull);
        p.drawPath(body);
        p.setClipPath(body);
        p.fillRect(QRectF(-6, -19, 12, 7.5), red);
        p.setClipping(false);
        disc(p, {0, -4}, 3.2, 3.2, QColor(0x5a, 0x64, 0x78));
        QRadialGradient glass(QPointF(-0.8, -4.8), 3);
        glass.setColorAt(0, QColor(0xb8, 0xec, 0xff));
        glass.setColorAt(1, QColor(0x2a, 0x8a, 0xd8));
        disc(p, {0, -4}, 2.3, 2.3, glass);
    });
}

} // namespace

QList<SamplePicture> DrawSamples()
{
    // Names say what each picture is for; the lengths cover every accepted bitmap length.
    return {
        {"Koala.bmp", {64, 48}, false, 2, koala()},                     // 9272
        {"OLED 64x48 Sunset.bmp", {64, 48}, false, 0, sunset()},        // 9270
        {"OLED 52x36 Clownfish.bmp", {52, 36}, false, 2, clownfish()},  // 5672
        {"LCD 36x24 Power.bmp", {36, 24}, true, 0, powerSymbol()},      // 254
        {"LCD 64x32 Speaker.bmp", {64, 32}, true, 0, speaker()},        // 318
        {"MONO 96x64 Gears.bmp", {96, 64}, true, 0, gears()},           // 830
        {"MONO 96x64 Bell.bmp", {96, 64}, true, 2, bell()},             // 832
        {"COLOR 96x64 Mountains.bmp", {96, 64}, false, 0, mountains()}, // 18486
        {"COLOR 96x64 Rocket.bmp", {96, 64}, false, 2, rocket()},       // 18488
    };
}
