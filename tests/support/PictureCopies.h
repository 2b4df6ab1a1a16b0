#pragma once

// A folder of identical pictures, as a batch test or bench imports it: pic00000.bmp, pic00001.bmp…

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

inline bool WriteCopies(const QString& folder, const QByteArray& bytes, int count)
{
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        QFile file(QStringLiteral("%1/pic%2.bmp").arg(folder).arg(i, 5, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
    }
    return true;
}
