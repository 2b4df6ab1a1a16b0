#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// Replaces the file at `path` with `bytes` only once they are all written: a full disk or a
// vanished folder leaves the operator's earlier file as it was. The system's reason when the
// file could not be written, or the empty text.
inline QString WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return QString();
    return file.errorString();
}
