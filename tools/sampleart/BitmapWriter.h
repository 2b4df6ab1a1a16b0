#pragma once

#include <QByteArray>
#include <QImage>

// Writes the bitmap files the switches take: 1 bit per pixel (palette black, white; a white pixel
// is bit 1) or 24 bits per pixel, rows bottom first and padded to 4 bytes, then `trailing` zero
// bytes, as some drawing programs leave them.
QByteArray OneBitBitmap(const QImage& picture, int trailing, qint32 pelsPerMeter);
QByteArray ColourBitmap(const QImage& picture, int trailing, qint32 pelsPerMeter);
