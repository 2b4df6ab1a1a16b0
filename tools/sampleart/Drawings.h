#pragma once

#include <QImage>
#include <QList>
#include <QString>

// One sample picture: its file name, how it is stored, and what it shows.
struct SamplePicture
{
    QString FileName;
    QSize Size;
    bool OneBit = false;
    int TrailingBytes = 0;
    QImage Picture; // display-sized; white is a lit (mono) or clear (LCD) pixel on 1-bit displays
};

// Every sample, drawn in code: the start-up koala and at least one picture of every display type
// at every file length the program accepts.
QList<SamplePicture> DrawSamples();
