#pragma once

#include <QRect>

// The largest main window the program takes, in twips (1/1440 inch).
constexpr int MaxWindowWidthTwips = 12000;
constexpr int MaxWindowHeightTwips = 10005;

// Fits the main window to the desktop's work area, both in twips: a small work area is filled to
// nine tenths from its left or top edge; on a large one the window keeps its place at the
// largest size.
QRect FitToWorkArea(const QRect& workArea, const QRect& window);

int TwipsPerPixel(int logicalDpi);
