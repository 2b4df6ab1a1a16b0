#pragma once

#include <QString>

// A file named to download or convert, read as the switch data window reads it: the display type
// and, for switch data files, the data text that window sends.
struct PictureSource
{
    // Foreign: none of the three (a photo, a bitmap of another size); only a conversion makes a
    // switch picture of it, and `error` says why it cannot be used as it is.
    enum class Kind { Bitmap, SwitchData, HexText, Foreign };
    Kind kind = Kind::Bitmap;
    qint16 typeCode = 0;
    QString data;  // switch data and hex-text files; a bitmap is encoded by the caller
    QString error; // why the file cannot be used; empty when it can
};

// By name, then contents: a .txt file is hex text of the type asked for (`requestedType`, which
// the command line insists on for one); a file of any other name but .bmp is a switch data file
// when its header and length say so; anything else is a bitmap of the type its length names. A
// `requestedType` the file contradicts is an error.
PictureSource ReadPictureSource(const QString& path, qint16 requestedType);

// Why a data text is not one whole picture of the type in hex digits; empty when it is.
QString WholePictureProblem(qint16 typeCode, const QString& data);
