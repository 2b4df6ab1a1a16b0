#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A Windows bitmap as the encoders see it: its headers field by field, its palette, and every byte
// from the pixel-data offset to the end of the file. Width, height and palette are kept for
// inspection only; the encoders take the pixel bytes as they stand.
struct BitmapFileHeader
{
    quint16 Signature = 0;
    quint32 FileSize = 0;
    quint16 Reserved1 = 0;
    quint16 Reserved2 = 0;
    quint32 PixelOffset = 0;
};

struct BitmapInfoHeader
{
    quint32 HeaderSize = 0;
    qint32 Width = 0;
    qint32 Height = 0;
    quint16 Planes = 0;
    quint16 BitsPerPixel = 0;
    quint32 Compression = 0;
    quint32 ImageSize = 0;
    qint32 XPelsPerMeter = 0;
    qint32 YPelsPerMeter = 0;
    quint32 ColoursUsed = 0;
    quint32 ColoursImportant = 0;
};

struct PaletteEntry
{
    quint8 Blue = 0;
    quint8 Green = 0;
    quint8 Red = 0;
    quint8 Reserved = 0;
};

struct BitmapImage
{
    BitmapFileHeader FileHeader;
    BitmapInfoHeader InfoHeader;
    QList<PaletteEntry> Palette; // 2, 16 or 256 entries for 1, 4 and 8 bits per pixel, else none
    quint16 BitsPerPixel = 0;
    QByteArray Pixels; // from the pixel-data offset to the end of the file, trailing bytes included
    // A MONO 96x64 picture saved with a resolution is sent with its bits inverted.
    bool MonoInvertFlag = false;
};

constexpr int BitmapHeadersBytes = 54;

// Fills `image` from the file. `MonoInvertFlag` is decided only while the current type is
// MONO 96x64 and is otherwise left as it was. False, with `image` unchanged, when the file cannot
// be read, is shorter than its two headers, or its pixel-data offset lies beyond its end.
bool ReadBitmap(const QString& path, qint16 currentTypeCode, BitmapImage& image);

// The same from bytes already in memory.
bool ParseBitmap(const QByteArray& file, qint16 currentTypeCode, BitmapImage& image);

// The pixel bytes as hex text, row padding and trailing bytes included: 1 and 24 bits per pixel
// byte by byte, 8 bits per pixel as each byte's palette colour (red + 256 x green + 65536 x blue,
// hex without leading zeros); other depths give the empty text.
QString PixelHexText(const BitmapImage& image);
