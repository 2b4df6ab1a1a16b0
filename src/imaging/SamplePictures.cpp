#include "SamplePictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QString SampleFolder = QStringLiteral(":/samples");
}

QStringList SamplePicturePaths()
{
    QStringList paths;
    for (const QFileInfo& info : QDir(SampleFolder).entryInfoList(QDir::Files, QDir::Name))
        paths.append(info.filePath());
    return paths;
}

bool SeedSamplePictures(const QString& folder)
{
    const QDir target(folder);
    if (!target.mkpath(QStringLiteral(".")))
        return false;
    bool complete = true;
    for (const QString& sample : SamplePicturePaths()) {
        const QString destination = target.filePath(QFileInfo(sample).fileName());
        if (QFileInfo::exists(destination))
            continue;
        // Copies of resources keep the resource's read-only permissions; the operator's copies
        // must be his to change.
        const bool copied =
            QFile::copy(sample, destination) &&
            QFile::setPermissions(destination, QFile::ReadOwner | QFile::WriteOwner |
                                                   QFile::ReadGroup | QFile::ReadOther);
        complete = complete && copied;
    }
    return complete;
}
