#pragma once

#include "AttributeRun.h"

#include <QList>
#include <QString>
#include <QStringList>

// A saved attribute file turned into the rows of a batch attribute run, each line as the window
// would send it: the cells filled as the table fills them (LED defaults included), the LCD bytes
// the switch count shows, and the line's own address (five fields) or consecutive addresses from
// `start` (four fields).
struct SavedAttributeJobs
{
    QList<AttributeJob> jobs;
    QString error; // why the file cannot be sent; empty when it can
};

SavedAttributeJobs JobsFromSavedLines(const QStringList& lines, qint16 typeCode, int switches,
                                      bool withTypeLetter, const QString& start);
