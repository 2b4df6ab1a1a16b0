#pragma once

#include "PictureConversion.h"

#include <QFuture>
#include <QString>
#include <QStringList>

// A folder of pictures made into switch pictures with one setting, ready for "Import Batch". The
// Convert Folder dialog and the command line share it.

// What became of one picture.
struct ConvertedFile
{
    QString source;
    QString output;
    QString error; // empty when the bitmap was written
};

// The pictures of `folder` this machine's Qt reads, by name; sub-folders are not entered.
QStringList PicturesInFolder(const QString& folder);

// Where each picture's bitmap goes in `target`: its base name with ".bmp", or, where two pictures
// share a base name (logo.png, logo.gif), its whole name with ".bmp" so neither replaces the other.
QStringList ConvertedPaths(const QStringList& sources, const QString& target);

// Reads, converts and writes one picture as the accepted bitmap of the settings' type. The output
// is replaced whole or not at all; a picture that cannot be read leaves it untouched.
ConvertedFile ConvertPictureFile(const QString& source, const QString& output,
                                 const ConversionSettings& settings);

// Every source to the output beside it, on all of the machine's cores; results in source order.
QFuture<ConvertedFile> ConvertPictureFiles(const QStringList& sources, const QStringList& outputs,
                                           const ConversionSettings& settings);
