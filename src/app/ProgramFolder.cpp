#include "ProgramFolder.h"

#include "SamplePictures.h"

#include <QDir>
#include <QStandardPaths>

QString PrepareProgramFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    SeedSamplePictures(folder);
    return folder;
}
