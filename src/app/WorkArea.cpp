#include "WorkArea.h"

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

int TwipsPerPixel(int logicalDpi)
{
    return logicalDpi > 0 ? 1440 / logicalDpi : 15;
}
