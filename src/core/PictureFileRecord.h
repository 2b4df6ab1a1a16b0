#pragma once

#include <QList>
#include <QString>

// What the program knows of one file a screen lists. Screens keep arrays of these numbered from 1
// (element 0 is an unused placeholder), so record k belongs to list entry k.
struct PictureFileRecord
{
    qint32 Index = 0;
    QString Name;
    QString Path;
    qint32 FileLength = 0;
    qint16 TypeCode = 0;
    QString BackgroundColoron;
    QString BackgroundColoroff;
    QString LEDon;
    QString LEDoff;
    QString Attributes;
    qint16 FileKind = 0; // 1 bitmap, 2 text, 3 switch data
    QString TypeText;
};

using PictureFileRecords = QList<PictureFileRecord>;
