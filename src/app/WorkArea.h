#pragma once

#include <QRect>

// The largest main window the program takes, in twips (1/1440 inch) of the 8-point design.
constexpr int MaxWindowWidthTwips = 12000;
constexpr int MaxWindowHeightTwips = 10005;
// The font the documented twip sizes were drawn for.
constexpr qreal DesignFontPoints = 8.0;

// Fits the main window to the desktop's work area, both in twips: a small work area is filled to
// nine tenths from its left or top edge; on a large one the window keeps its place at the
// largest size.
QRect FitToWorkArea(const QRect& workArea, const QRect& window);

// Twips of the design per screen pixel: a larger font than the design's makes every documented
// size larger in proportion.
qreal DesignTwipsPerPixel(int logicalDpi, qreal fontPoints);

// Grows a fitted window (pixels) to `needed`, but never beyond nine tenths of the work area; a
// window that would then cross the work area's right or bottom edge moves left or up. Along a side
// the window cannot hold, its contents scroll, and that scroll bar (`scrollBar` pixels thick)
// takes room from the other side, which grows by as much.
QRect HoldInWorkArea(const QRect& workArea, const QRect& window, QSize needed, int scrollBar);
