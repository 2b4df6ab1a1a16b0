#include "WorkArea.h"

#include <algorithm>

QRect FitToWorkArea(const QRect& workArea, const QRect& window)
{
    QRect fitted = window;
    if (workArea.width() <= MaxWindowWidthTwips) {
        fitted.moveLeft(workArea.left());
        fitted.setWidth(workArea.width() - workArea.width() / 10);
    } else {
        fitted.setWidth(MaxWindowWidthTwips);
    }
    if (workArea.height() <= MaxWindowHeightTwips) {
        fitted.moveTop(workArea.top());
        fitted.setHeight(workArea.height() - workArea.height() / 10);
    } else {
        fitted.setHeight(MaxWindowHeightTwips);
    }
    return fitted;
}

qreal DesignTwipsPerPixel(int logicalDpi, qreal fontPoints)
{
    const qreal twips = logicalDpi > 0 ? 1440.0 / logicalDpi : 15.0;
    return fontPoints > 0 ? twips * DesignFontPoints / fontPoints : twips;
}

namespace {

// One axis of HoldInWorkArea: the start and length of the window along it.
int LargestAlong(int areaLength)
{
    return areaLength - areaLength / 10;
}

std::pair<int, int> HoldAlong(int areaStart, int areaLength, int start, int length, int needed)
{
    const int largest = LargestAlong(areaLength);
    length = std::min(std::max(length, needed), std::max(largest, length));
    length = std::min(length, areaLength);
    start = std::max(areaStart, std::min(start, areaStart + areaLength - length));
    return {start, length};
}

} // namespace

QRect HoldInWorkArea(const QRect& workArea, const QRect& window, QSize needed, int scrollBar)
{
    const bool scrollsDown = needed.height() > LargestAlong(workArea.height());
    const bool scrollsAcross = needed.width() > LargestAlong(workArea.width());
    needed += QSize(scrollsDown ? scrollBar : 0, scrollsAcross ? scrollBar : 0);
    const auto [x, width] =
        HoldAlong(workArea.x(), workArea.width(), window.x(), window.width(), needed.width());
    const auto [y, height] =
        HoldAlong(workArea.y(), workArea.height(), window.y(), window.height(), needed.height());
    return QRect(x, y, width, height);
}
