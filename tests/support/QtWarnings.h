#pragma once

#include <QRegularExpression>
#include <QTest>

// Any Qt warning fails the running test, except the offscreen platform's note that it cannot
// pass size limits on to a window system it does not have.
inline void FailOnQtWarnings()
{
    QTest::failOnWarning(
        QRegularExpression(QStringLiteral("^(?!This plugin does not support propagateSizeHints)")));
}
