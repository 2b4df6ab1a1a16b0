#pragma once

#include "Bitmap.h"
#include "TestKit.h"

#include <QDataStream>

// Bitmap files built byte by byte, so a test controls every header field, the palette and the
// pixel bytes, including what no real writer would produce.
struct BitmapLayout
{
    qint32 Width = 0;
    qint32 Height = 0;
    quint16 BitsPerPixel = 24;
    qint32 XPelsPerMeter = 0;
    qint32 YPelsPerMeter = 0;
    QList<quint32> Palette; // 0x00RRGGBB per entry
    QByteArray Pixels;      // rows as stored, bottom row first, padding included
    QByteArray Trailing;    // bytes after the pixel rows
};

inline QByteArray BuildBitmap(const BitmapLayout& l)
{
    const quint32 offset = BitmapHeadersBytes + 4 * quint32(l.Palette.size());
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint8('B') << quint8('M') << quint32(offset + l.Pixels.size()) << quint32(0) << offset
        << quint32(40) << l.Width << l.Height << quint16(1) << l.BitsPerPixel << quint32(0)
        << quint32(l.Pixels.size()) << l.XPelsPerMeter << l.YPelsPerMeter
        << quint32(l.Palette.size()) << quint32(0);
    for (quint32 colour : l.Palette)
        out << (colour & 0xffffff);
    return file + l.Pixels + l.Trailing;
}

// 1-bit pictures with the usual black-then-white palette.
inline BitmapLayout MonoSpec(int width, int height, char fill)
{
    const int stride = (width + 31) / 32 * 4;
    return {width, height, 1, 0, 0, {0x000000, 0xffffff}, QByteArray(stride * height, fill), {}};
}

// 24-bit pictures of one colour; `bgr` is a pixel's bytes as stored.
inline BitmapLayout ColourSpec(int width, int height, const QByteArray& bgr = QByteArray(3, 0))
{
    QByteArray row = bgr.repeated(width);
    row.append(QByteArray((4 - row.size() % 4) % 4, 0));
    return {width, height, 24, 0, 0, {}, row.repeated(height), {}};
}
