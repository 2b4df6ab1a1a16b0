#pragma once

#include <QByteArray>
#include <QImage>
#include <QStringView>

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

// The hex digits a data text begins with: the whole of a HexText, or the picture of an upload's
// answer, which ends with the controller's closing "y".
QStringView LeadingHexDigits(QStringView text);

// The picture a data text gives on a display of the type: its leading hex digits, decoded as
// above. A null image unless they are exactly one picture of the type.
QImage DecodeSwitchText(qint16 typeCode, QStringView dataText);
