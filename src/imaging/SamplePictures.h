#pragma once

#include <QString>
#include <QStringList>

// The sample pictures built into the program: the start-up koala and pictures of every display
// type at every accepted file length. They are in the program only when it links the
// `vantrel_resources` library.

inline const QString StartupPictureName = QStringLiteral("Koala.bmp");

// Resource paths (":/samples/Koala.bmp" ...), sorted by name.
QStringList SamplePicturePaths();

// Copies into `folder` (created if needed) every sample it does not hold yet, as ordinary writable
// files; files already there are never replaced. True when every sample is in the folder after.
bool SeedSamplePictures(const QString& folder);
