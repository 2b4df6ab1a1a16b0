#pragma once

#include <QColor>
#include <QtGlobal>

// Facts of the controller's picture format shared by the encoders and the decoders.
namespace DeviceFormat {

constexpr int Lcd36x24PictureBytes = 120;
// Picture, one LED byte (off colour high nibble, on colour low nibble), four zero bytes.
constexpr int Lcd36x24BlockBytes = 125;

// 16-bit colour pixel: blue in bits 15-11, green in 10-5, red in 4-0; each channel keeps its top
// bits.
constexpr quint16 deviceFromBgr(quint8 blue, quint8 green, quint8 red)
{
    return quint16((blue >> 3) << 11 | (green >> 2) << 5 | red >> 3);
}

constexpr QRgb rgbFromDevice(quint16 pixel)
{
    const int b = pixel >> 11;
    const int g = (pixel >> 5) & 0x3f;
    const int r = pixel & 0x1f;
    return qRgb(r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2);
}

// Where element `index` of a stream of `count` elements lands when the stream is cut into pieces of
// `piece` elements from its start and the pieces are put last first (the final piece may be short).
constexpr int streamPosition(int index, int count, int piece)
{
    const int pieceEnd = qMin(count, (index / piece + 1) * piece);
    return count - pieceEnd + index % piece;
}

} // namespace DeviceFormat
