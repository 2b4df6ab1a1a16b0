#pragma once

#include "Bitmap.h"

#include <QString>

// The encoders written as the documented text walk: the pixel bytes become hex text first, and
// every step cuts, converts and concatenates text, digit by digit where the description says so.
// Kept as the baseline the benchmark measures the encoders against, and as the tests' reference
// for odd inputs (palette text, short and odd-length files).
namespace Literal {
QString PixelHexText(const BitmapImage& image);
QString Lcd36x24(const BitmapImage& image);
QString Lcd64x32(const BitmapImage& image);
QString Oled(const BitmapImage& image, bool leftToRight);
QString Mono96x64(const BitmapImage& image);
QString Color96x64(const BitmapImage& image, bool leftToRight);
QString ForType(qint16 typeCode, const BitmapImage& image, bool leftToRight);
} // namespace Literal
