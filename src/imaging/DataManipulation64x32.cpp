#include "EncoderShape.h"
#include "PackedDigits.h"

// The file's 32 rows of 8 bytes, bottom row first, inverted and put in reverse byte order: the
// switch gets the top row first with each row's bytes right to left, bits unchanged.
QString Lcd64x32HexText(const BitmapImage& image)
{
    PackedDigits digits = PixelDigits(image, 512);
    digits.invertBytes();
    digits.reversePieces(2);
    return digits.hexText();
}

QString EncodeLcd64x32(const QString& folderOrPath, const QString& fileName,
                       const QString& fallback, AppState& state, Prompter& prompter)
{
    return EncodeWithShape(folderOrPath, fileName, fallback, state, prompter,
                           QStringLiteral("64x32 Download Message"), Lcd64x32HexText);
}
