#include "EncoderShape.h"
#include "PackedDigits.h"

namespace {
// Exactly the pixel bytes of an 18486-byte file; the trailing bytes of an 18488-byte file fall
// outside.
constexpr qsizetype ColorDigits = 36864;
constexpr int ColorRowDigits = 384; // 96 device pixels
} // namespace

QString Color96x64HexText(const BitmapImage& image, bool leftToRight)
{
    PackedDigits digits = PixelDigits(image, ColorDigits);
    digits.convertColours();
    digits.reversePieces(ColorRowDigits);
    if (!leftToRight)
        digits.mirrorPixels(ColorRowDigits);
    return digits.hexText();
}

QString EncodeColor96x64(const QString& folderOrPath, const QString& fileName,
                         const QString& fallback, AppState& state, Prompter& prompter)
{
    const bool leftToRight = state.LeftToRightFlag != 0;
    return EncodeWithShape(
        folderOrPath, fileName, fallback, state, prompter, QStringLiteral("OLED Download Message"),
        [leftToRight](const BitmapImage& image) { return Color96x64HexText(image, leftToRight); });
}
