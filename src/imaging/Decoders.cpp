#include "Decoders.h"

#include "DeviceFormat.h"

#include <algorithm>

namespace {

// How the displays look: LCD segments that are driven block the back-light; OLED pixels glow on
// black. An LCD whose LED is off is shown in the grey of an unlit panel.
constexpr QRgb LcdDarkPixel = 0xff1c1e26;
constexpr QRgb LcdUnlitPanel = 0xffc9cdbf;
constexpr QRgb LcdWhiteBacklight = 0xffeef2e6;
constexpr QRgb MonoLitPixel = 0xfff4f6ff;
constexpr QRgb OledDark = 0xff000000;

bool bitAt(const QByteArray& bytes, int byteIndex, int bitFromLeft)
{
    return (static_cast<quint8>(bytes[byteIndex]) >> (7 - bitFromLeft)) & 1;
}

// The LCD 36x24 back-light takes the "on" LED colour of the picture block: bit 0 red, bit 1
// green, bit 2 blue.
QRgb lcd36x24Backlight(quint8 ledByte)
{
    const int on = ledByte & 0x07;
    if (on == 0)
        return LcdUnlitPanel;
    return qRgb(on & 1 ? 255 : 40, on & 2 ? 255 : 40, on & 4 ? 255 : 40);
}

QImage decodeLcd36x24(const QByteArray& payload)
{
    QImage image(36, 24, QImage::Format_RGB32);
    const QRgb backlight =
        lcd36x24Backlight(static_cast<quint8>(payload[DeviceFormat::Lcd36x24PictureBytes]));
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 36; ++x)
            image.setPixel(x, y, bitAt(payload, y * 5 + x / 8, x % 8) ? LcdDarkPixel : backlight);
    return image;
}

// Each 8-byte row holds its eight pixel groups right to left, each group left to right.
QImage decodeLcd64x32(const QByteArray& payload)
{
    QImage image(64, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool dark = bitAt(payload, y * 8 + 7 - x / 8, x % 8);
            image.setPixel(x, y, dark ? LcdDarkPixel : LcdWhiteBacklight);
        }
    return image;
}

QImage decodeMono96x64(const QByteArray& payload)
{
    QImage image(96, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x)
            image.setPixel(x, y, bitAt(payload, y * 12 + x / 8, x % 8) ? MonoLitPixel : OledDark);
    return image;
}

// Colour displays take the pixel stream in the encoder's order: the picture's rows from the
// bottom, cut into pieces of a fixed pixel count, pieces last first. For 64x48 and 96x64 a piece is
// a row; the 52x36 display takes its stream in 64-pixel pieces too.
QImage decodeColour(const QByteArray& payload, QSize size, int piecePixels)
{
    const int w = size.width();
    const int h = size.height();
    const int count = w * h;
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int bitmapOrder = (h - 1 - y) * w + x;
            const int at = 2 * DeviceFormat::streamPosition(bitmapOrder, count, piecePixels);
            const auto hi = static_cast<quint8>(payload[at]);
            const auto lo = static_cast<quint8>(payload[at + 1]);
            image.setPixel(x, y, DeviceFormat::rgbFromDevice(quint16(hi << 8 | lo)));
        }
    return image;
}

} // namespace

int PayloadBytes(qint16 typeCode)
{
    switch (typeCode) {
    case 1:
        return DeviceFormat::Lcd36x24BlockBytes;
    case 2:
        return 256;
    case 3:
        return 6144;
    case 4:
        return 3744;
    case 5:
        return 768;
    case 6:
        return 12288;
    default:
        return 0;
    }
}

QSize DisplaySize(qint16 typeCode)
{
    switch (typeCode) {
    case 1:
        return {36, 24};
    case 2:
        return {64, 32};
    case 3:
        return {64, 48};
    case 4:
        return {52, 36};
    case 5:
    case 6:
        return {96, 64};
    default:
        return {};
    }
}

QImage DecodeSwitchPicture(qint16 typeCode, const QByteArray& payload)
{
    if (PayloadBytes(typeCode) == 0 || payload.size() != PayloadBytes(typeCode))
        return {};
    switch (typeCode) {
    case 1:
        return decodeLcd36x24(payload);
    case 2:
        return decodeLcd64x32(payload);
    case 5:
        return decodeMono96x64(payload);
    case 6:
        return decodeColour(payload, DisplaySize(typeCode), 96);
    default:
        return decodeColour(payload, DisplaySize(typeCode), 64);
    }
}

QStringView LeadingHexDigits(QStringView text)
{
    const auto isHex = [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
    };
    return text.left(std::find_if_not(text.begin(), text.end(), isHex) - text.begin());
}

QImage DecodeSwitchText(qint16 typeCode, QStringView dataText)
{
    const QStringView digits = LeadingHexDigits(dataText);
    if (digits.size() != 2 * PayloadBytes(typeCode))
        return {};
    return DecodeSwitchPicture(typeCode, QByteArray::fromHex(digits.toLatin1()));
}
