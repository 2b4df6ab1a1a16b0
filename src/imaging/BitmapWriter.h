#pragma once

#include <QByteArray>
#include <QImage>

// Writes the bitmap files the switches take: 1 bit per pixel (palette black, white; a light pixel
// is bit 1) or 24 bits per pixel, rows bottom first and padded to 4 bytes, then `trailing` zero
// bytes, as some drawing programs leave them.
QByteArray OneBitBitmap(const QImage& picture, int trailing, qint32 pelsPerMeter);
QByteArray ColourBitmap(const QImage& picture, int trailing, qint32 pelsPerMeter);

// A display-sized picture as the bitmap file the program accepts for the display type (1..6): of
// a length that names the type and that the single picture screen downloads. One-bit displays
// take a pixel lighter than mid-grey as bit 1; MONO 96x64 pictures are written without a
// resolution, so they are sent as drawn. Empty for an unknown type or a picture of another size.
QByteArray AcceptedBitmap(qint16 typeCode, const QImage& picture);
