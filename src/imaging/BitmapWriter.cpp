#include "BitmapWriter.h"

#include "Decoders.h"
#include "SwitchTypeCode.h"

namespace {

void put(QByteArray& out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
}

QByteArray headers(QSize size, quint16 bitsPerPixel, quint32 paletteBytes, quint32 pixelBytes,
                   qint32 pelsPerMeter)
{
    const quint32 offset = 54 + paletteBytes;
    QByteArray out("BM");
    put(out, offset + pixelBytes, 4);
    put(out, 0, 4);
    put(out, offset, 4);
    put(out, 40, 4);
    put(out, quint32(size.width()), 4);
    put(out, quint32(size.height()), 4);
    put(out, 1, 2);
    put(out, bitsPerPixel, 2);
    put(out, 0, 4);
    put(out, pixelBytes, 4);
    put(out, quint32(pelsPerMeter), 4);
    put(out, quint32(pelsPerMeter), 4);
    put(out, paletteBytes / 4, 4);
    put(out, 0, 4);
    return out;
}

int stride(int rowBytes)
{
    return (rowBytes + 3) / 4 * 4;
}

// The usual resolution that drawing programs store, 96 dots per inch.
constexpr qint32 UsualPelsPerMeter = 3780;

// How the program's accepted file of each type is laid out beyond its pixels.
struct AcceptedForm
{
    bool oneBit;
    int trailing;
    qint32 pelsPerMeter;
};

AcceptedForm acceptedForm(qint16 typeCode)
{
    switch (typeCode) {
    case SwitchTypeCode::Lcd36x24:
    case SwitchTypeCode::Lcd64x32:
        return {true, 0, UsualPelsPerMeter};
    case SwitchTypeCode::Mono96x64:
        return {true, 0, 0}; // a resolution would have the picture sent inverted
    case SwitchTypeCode::Oled52x36:
    case SwitchTypeCode::Color96x64:
        return {false, 2, UsualPelsPerMeter}; // only the longer form of these downloads
    default:
        return {false, 0, UsualPelsPerMeter};
    }
}

} // namespace

QByteArray OneBitBitmap(const QImage& picture, int trailing, qint32 pelsPerMeter)
{
    const int w = picture.width();
    const int rowBytes = stride((w + 7) / 8);
    QByteArray pixels(rowBytes * picture.height(), 0);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < w; ++x)
            if (qGray(picture.pixel(x, y)) > 127)
                pixels[(picture.height() - 1 - y) * rowBytes + x / 8] |= char(0x80 >> (x % 8));
    QByteArray out = headers(picture.size(), 1, 8, quint32(pixels.size()), pelsPerMeter);
    put(out, 0x000000, 4);
    put(out, 0xffffff, 4);
    return out + pixels + QByteArray(trailing, 0);
}

QByteArray ColourBitmap(const QImage& picture, int trailing, qint32 pelsPerMeter)
{
    const int rowBytes = stride(3 * picture.width());
    QByteArray pixels(rowBytes * picture.height(), 0);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb rgb = picture.pixel(x, y);
            char* at = pixels.data() + (picture.height() - 1 - y) * rowBytes + 3 * x;
            at[0] = char(qBlue(rgb));
            at[1] = char(qGreen(rgb));
            at[2] = char(qRed(rgb));
        }
    return headers(picture.size(), 24, 0, quint32(pixels.size()), pelsPerMeter) + pixels +
           QByteArray(trailing, 0);
}

QByteArray AcceptedBitmap(qint16 typeCode, const QImage& picture)
{
    const QSize display = DisplaySize(typeCode);
    if (display.isEmpty() || picture.size() != display)
        return QByteArray();
    const AcceptedForm form = acceptedForm(typeCode);
    return form.oneBit ? OneBitBitmap(picture, form.trailing, form.pelsPerMeter)
                       : ColourBitmap(picture, form.trailing, form.pelsPerMeter);
}
