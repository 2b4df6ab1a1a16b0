#pragma once

#include <QByteArray>
#include <QImage>

// The inverse of the encoders: what a switch shows for the picture bytes the controller stores at
// one address. Used by the virtual controller to render addresses, by previews, and by the
// round-trip tests of the encoders.

// Size in bytes of one stored picture of a display type (1..6), 0 for any other code:
// LCD 36x24 125 (120 picture bytes, the LED byte, four zero bytes), LCD 64x32 256,
// OLED 64x48 6144, OLED 52x36 3744, MONO 96x64 768, COLOR 96x64 12288.
int PayloadBytes(qint16 typeCode);

// Width and height of a type's display; an empty size for any other code.
QSize DisplaySize(qint16 typeCode);

// The picture as the switch's display shows it, display-sized (RGB32). A null image when the
// type is unknown or the payload is not exactly PayloadBytes(typeCode) long.
QImage DecodeSwitchPicture(qint16 typeCode, const QByteArray& payload);
