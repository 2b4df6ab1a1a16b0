#pragma once

#include <QColor>
#include <QString>

#include <array>

// How an LCD switch's LED colour is coded. Red, green and blue each have a slider whose position
// (1 is the lowest) the controller receives as a bit field: LCD 36x24 switches a channel on or
// off, LCD 64x32 has four levels per channel.
enum class LedScale { OnOff, FourLevel };

// Slider positions in slider order: red, green, blue.
using LedLevels = std::array<int, 3>;

int LevelCount(LedScale scale);

// The colour the preview box shows for these positions.
QColor PreviewColour(LedScale scale, const LedLevels& levels);

// LCD 36x24: one hex digit, red 1 + green 2 + blue 4. LCD 64x32: one byte, red in bits 7-6,
// green in 5-4, blue in 3-2, and bits 1-0 always set.
QString LedCode(LedScale scale, const LedLevels& levels);

// The slider positions an LED code stands for; what the code does not cover reads as lowest.
LedLevels LevelsFromLedCode(LedScale scale, const QString& code);

// Colour numbers as records keep them: red + 256 x green + 65536 x blue, in decimal text.
qint64 ColourNumber(const QColor& colour);
QColor ColourFromNumberText(const QString& text);
