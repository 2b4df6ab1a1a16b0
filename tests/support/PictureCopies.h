#pragma once

// A folder of identical pictures, as a batch test or bench imports it: pic00000.bmp, pic00001.bmp…

#include "TestKit.h"

#include <QDir>

inline bool WriteCopies(const QString& folder, const QByteArray& bytes, int count)
{
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        if (!WriteFile(QStringLiteral("%1/pic%2.bmp").arg(folder).arg(i, 5, 10, QLatin1Char('0')),
                       bytes))
            return false;
    }
    return true;
}
