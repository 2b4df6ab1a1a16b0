#include "LiteralEncoders.h"

namespace {

// Value of the leading hex digits of a text; 0 when it starts with none.
int hexToLong(const QString& text)
{
    int value = 0;
    for (QChar c : text) {
        const int digit = QStringLiteral("0123456789ABCDEF").indexOf(c.toUpper());
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return value;
}

QString twoDigits(int value)
{
    return QString::number(value, 16).toUpper().rightJustified(2, u'0');
}

QString oneDigit(int value)
{
    return QString::number(value, 16).toUpper();
}

QString invert(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); i += 2)
        out += twoDigits(255 - hexToLong(text.mid(i, 2)));
    return out;
}

QString reversePieces(const QString& text, int pieceLength, qsizetype maxPieces)
{
    const qsizetype pieces = qMin(maxPieces, (text.size() + pieceLength - 1) / pieceLength);
    QString out;
    for (qsizetype k = pieces - 1; k >= 0; --k)
        out += text.mid(k * pieceLength, pieceLength);
    return out;
}

QString convertColours(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i + 6 <= text.size(); i += 6) {
        const int b1 = hexToLong(text.mid(i, 1));
        const int b2 = hexToLong(text.mid(i + 1, 1));
        const int g1 = hexToLong(text.mid(i + 2, 1));
        const int g2 = hexToLong(text.mid(i + 3, 1));
        const int r1 = hexToLong(text.mid(i + 4, 1));
        const int r2 = hexToLong(text.mid(i + 5, 1));
        out += oneDigit(b1);
        out += oneDigit(8 * (b2 / 8) + g1 / 2);
        out += oneDigit(8 * (g1 % 2) + 2 * (g2 / 4) + r1 / 8);
        out += oneDigit(2 * (r1 % 8) + r2 / 8);
    }
    return out;
}

QString mirror(const QString& text, int pieceLength, int pieces)
{
    QString out;
    for (int k = 0; k < pieces; ++k) {
        const QString piece = text.mid(k * pieceLength, pieceLength);
        for (qsizetype p = piece.size() / 4 - 1; p >= 0; --p)
            out += piece.mid(p * 4, 4);
    }
    return out;
}

} // namespace

namespace Literal {

QString PixelHexText(const BitmapImage& image)
{
    QString text;
    for (char byte : image.Pixels) {
        const int value = quint8(byte);
        if (image.BitsPerPixel == 1 || image.BitsPerPixel == 24) {
            text += twoDigits(value);
        } else if (image.BitsPerPixel == 8) {
            const PaletteEntry entry = image.Palette.value(value);
            text +=
                QString::number(entry.Red + 256 * entry.Green + 65536 * entry.Blue, 16).toUpper();
        }
    }
    return text;
}

QString Lcd36x24(const BitmapImage& image)
{
    const QString text = Literal::PixelHexText(image).left(384);
    QString cropped;
    for (qsizetype i = 0; i < text.size(); i += 16)
        cropped += text.mid(i, 10);
    return reversePieces(invert(cropped), 10, 24);
}

QString Lcd64x32(const BitmapImage& image)
{
    return reversePieces(invert(Literal::PixelHexText(image).left(512)), 2, 256);
}

QString Oled(const BitmapImage& image, bool leftToRight)
{
    const QString rows =
        reversePieces(convertColours(Literal::PixelHexText(image).left(18436)), 256, 48);
    return leftToRight ? rows : mirror(rows, 256, 48);
}

QString Mono96x64(const BitmapImage& image)
{
    QString text = Literal::PixelHexText(image).left(1536);
    if (image.MonoInvertFlag)
        text = invert(text);
    return reversePieces(text, 24, 96);
}

QString Color96x64(const BitmapImage& image, bool leftToRight)
{
    const QString rows =
        reversePieces(convertColours(Literal::PixelHexText(image).left(36864)), 384, 64);
    return leftToRight ? rows : mirror(rows, 384, 64);
}

QString ForType(qint16 typeCode, const BitmapImage& image, bool leftToRight)
{
    switch (typeCode) {
    case 1:
        return Lcd36x24(image);
    case 2:
        return Lcd64x32(image);
    case 3:
    case 4:
        return Oled(image, leftToRight);
    case 5:
        return Mono96x64(image);
    case 6:
        return Color96x64(image, leftToRight);
    default:
        return {};
    }
}

} // namespace Literal
