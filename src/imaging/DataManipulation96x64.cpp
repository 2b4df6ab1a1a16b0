#include "EncoderShape.h"
#include "PackedDigits.h"

// 64 rows of 12 bytes, bottom row first, turned top row first. The "L to R" box has no effect on
// this display. The bits are inverted only for a picture saved with a resolution; the palette is
// not looked at.
QString Mono96x64HexText(const BitmapImage& image)
{
    PackedDigits digits = PixelDigits(image, 1536);
    if (image.MonoInvertFlag)
        digits.invertBytes();
    digits.reversePieces(24);
    return digits.hexText();
}

QString EncodeMono96x64(const QString& folderOrPath, const QString& fileName,
                        const QString& fallback, AppState& state, Prompter& prompter)
{
    return EncodeWithShape(folderOrPath, fileName, fallback, state, prompter,
                           QStringLiteral("96x64 Download Message"), Mono96x64HexText);
}
