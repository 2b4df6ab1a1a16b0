#include "EncoderShape.h"
#include "PackedDigits.h"

// The file's rows are 5 bytes padded to 8, bottom row first; the switch takes 24 rows of 5 bytes
// from the top, a driven (dark) segment as a set bit. The last 4 bits of each row are the file's
// own padding bits.
QString Lcd36x24HexText(const BitmapImage& image)
{
    PackedDigits digits = PixelDigits(image, 384);
    digits.keepLeadingBytesOfGroups(5, 8);
    digits.invertBytes();
    digits.reversePieces(10);
    return digits.hexText();
}

QString EncodeLcd36x24(const QString& folderOrPath, const QString& fileName,
                       const QString& fallback, AppState& state, Prompter& prompter)
{
    return EncodeWithShape(folderOrPath, fileName, fallback, state, prompter,
                           QStringLiteral("36x24 Download Message"), Lcd36x24HexText);
}

QString Lcd36x24PictureBlock(const QString& encoded, const QString& ledOff, const QString& ledOn)
{
    return encoded + ledOff + ledOn + QStringLiteral("00000000");
}
