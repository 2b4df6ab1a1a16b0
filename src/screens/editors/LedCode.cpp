#include "LedCode.h"

#include "Conversions.h"

#include <algorithm>

namespace {
// The two binary digits of each four-level position, lowest first.
const std::array<QString, 4> LevelBits{QStringLiteral("00"), QStringLiteral("01"),
                                       QStringLiteral("10"), QStringLiteral("11")};

int clampedLevel(LedScale scale, int position)
{
    return std::clamp(position, 1, LevelCount(scale));
}

int intensity(LedScale scale, int position)
{
    static constexpr std::array<int, 2> OnOff{0, 255};
    static constexpr std::array<int, 4> FourLevel{0, 64, 128, 255};
    const int index = clampedLevel(scale, position) - 1;
    return scale == LedScale::OnOff ? OnOff[index] : FourLevel[index];
}
} // namespace

int LevelCount(LedScale scale)
{
    return scale == LedScale::OnOff ? 2 : 4;
}

QColor PreviewColour(LedScale scale, const LedLevels& levels)
{
    return QColor(intensity(scale, levels[0]), intensity(scale, levels[1]),
                  intensity(scale, levels[2]));
}

QString LedCode(LedScale scale, const LedLevels& levels)
{
    if (scale == LedScale::OnOff) {
        int value = 0;
        for (int k = 0; k < 3; ++k) {
            if (clampedLevel(scale, levels[k]) == 2)
                value |= 1 << k;
        }
        return QString::number(value, 16).toUpper();
    }
    auto bits = [&](int k) { return LevelBits[clampedLevel(scale, levels[k]) - 1]; };
    return BinaryToHex(bits(0) + bits(1)) + BinaryToHex(bits(2) + QStringLiteral("11"));
}

LedLevels LevelsFromLedCode(LedScale scale, const QString& code)
{
    LedLevels levels{1, 1, 1};
    if (scale == LedScale::OnOff) {
        const qint32 value = HexToLong(code, false);
        for (int k = 0; k < 3; ++k)
            levels[k] = (value >> k) & 1 ? 2 : 1;
        return levels;
    }
    const QString bits = HexToBinary(code);
    for (int k = 0; k < 3; ++k) {
        const auto found =
            std::find(LevelBits.begin(), LevelBits.end(), bits.mid(2 * qsizetype(k), 2));
        if (found != LevelBits.end())
            levels[k] = int(found - LevelBits.begin()) + 1;
    }
    return levels;
}

qint64 ColourNumber(const QColor& colour)
{
    return colour.red() + 256 * qint64(colour.green()) + 65536 * qint64(colour.blue());
}

QColor ColourFromNumberText(const QString& text)
{
    const qint64 number = text.trimmed().toLongLong();
    return QColor(int(number & 0xFF), int((number >> 8) & 0xFF), int((number >> 16) & 0xFF));
}
