#include "EncoderShape.h"
#include "PackedDigits.h"

namespace {
// 64x48 pixel bytes plus the two trailing bytes of a 9272-byte file.
constexpr qsizetype OledDigits = 18436;
// 64 device pixels; a row of a 64x48 picture. A 52x36 picture is cut in the same pieces, which
// its display takes as they come.
constexpr int OledPieceDigits = 256;
} // namespace

// Serves OLED 64x48 and OLED 52x36 alike.
QString OledHexText(const BitmapImage& image, bool leftToRight)
{
    PackedDigits digits = PixelDigits(image, OledDigits);
    digits.convertColours();
    digits.reversePieces(OledPieceDigits);
    if (!leftToRight)
        digits.mirrorPixels(OledPieceDigits);
    return digits.hexText();
}

QString EncodeOled(const QString& folderOrPath, const QString& fileName, const QString& fallback,
                   AppState& state, Prompter& prompter)
{
    const bool leftToRight = state.LeftToRightFlag != 0;
    return EncodeWithShape(
        folderOrPath, fileName, fallback, state, prompter, QStringLiteral("OLED Download Message"),
        [leftToRight](const BitmapImage& image) { return OledHexText(image, leftToRight); });
}
