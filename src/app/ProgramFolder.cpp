#include "ProgramFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>

QString PrepareProgramFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    QDirIterator samples(QStringLiteral(":/samples"), QDir::Files);
    while (samples.hasNext()) {
        const QString source = samples.next();
        const QString target = folder + QLatin1Char('/') + samples.fileName();
        if (!QFile::exists(target) && QFile::copy(source, target))
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::ReadOther);
    }
    return folder;
}
