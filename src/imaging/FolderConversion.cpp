#include "FolderConversion.h"

#include "WholeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QtConcurrent>

QStringList PicturesInFolder(const QString& folder)
{
    QStringList pictures;
    const QFileInfoList files =
        QDir(folder).entryInfoList(ReadablePicturePatterns(), QDir::Files, QDir::Name);
    for (const QFileInfo& file : files)
        pictures << file.filePath();
    return pictures;
}

QStringList ConvertedPaths(const QStringList& sources, const QString& target)
{
    QHash<QString, int> sharing;
    for (const QString& source : sources)
        ++sharing[QFileInfo(source).completeBaseName()];
    const QDir folder(target);
    QStringList outputs;
    for (const QString& source : sources) {
        const QFileInfo file(source);
        const bool shared = sharing.value(file.completeBaseName()) > 1;
        outputs << folder.filePath((shared ? file.fileName() : file.completeBaseName()) +
                                   QStringLiteral(".bmp"));
    }
    return outputs;
}

ConvertedFile ConvertPictureFile(const QString& source, const QString& output,
                                 const ConversionSettings& settings)
{
    ConvertedFile result{source, output, QString()};
    const SourcePicture picture = ReadSourcePicture(source);
    if (!picture.error.isEmpty()) {
        result.error = picture.error;
        return result;
    }
    if (const QString problem = WriteWholeFile(output, ConvertToBitmap(picture.image, settings));
        !problem.isEmpty()) {
        result.error =
            QStringLiteral("%1 cannot be written: %2").arg(QFileInfo(output).fileName(), problem);
    }
    return result;
}

QFuture<ConvertedFile> ConvertPictureFiles(const QStringList& sources, const QStringList& outputs,
                                           const ConversionSettings& settings)
{
    QList<int> positions(std::min(sources.size(), outputs.size()));
    std::iota(positions.begin(), positions.end(), 0);
    return QtConcurrent::mapped(positions, [sources, outputs, settings](int at) {
        return ConvertPictureFile(sources[at], outputs[at], settings);
    });
}
