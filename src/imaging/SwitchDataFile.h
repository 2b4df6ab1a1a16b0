#pragma once

#include <QByteArray>
#include <QString>

// Switch data files: one picture already in the controller's format. An SD file is an 8-byte
// header naming the display ("QVR1", bits per pixel, 00, width, height), then the picture bytes;
// an LCD 36x24 file holds only its 125-byte picture block. A hex-text switch data file is any
// 8 bytes, then the picture as hex digits with line breaks and spaces anywhere.

// The header of a display type (1..6) as hex text, "5156523101004020" for LCD 64x32; empty for
// LCD 36x24, whose file has none, and for any other code.
QString SwitchDataHeader(qint16 typeCode);

// The display type a known header names, whatever the file's length; 0 for none.
qint16 SwitchDataHeaderType(const QByteArray& firstBytes);
// The whole length of a type's switch data file, header included; 0 for any other code.
qint64 SwitchDataFileLength(qint16 typeCode);

// The display type an SD file is for, judged by its first bytes and its whole length: a known
// header on a file of that type's length, or no header on a file as long as an LCD 36x24 picture
// block. 0 when it is no switch data file (a wrong header, a file cut short or padded).
qint16 SwitchDataFileType(const QByteArray& firstBytes, qint64 length);

// The data text (HexText) an SD file's bytes give: everything after the header (the whole of an
// LCD 36x24 file). LCD 64x32 files hold each 8-byte row in the reverse order of the controller's,
// so their rows are turned round.
QString SwitchDataHexText(qint16 typeCode, const QByteArray& fileBytes);

// The SD file that holds picture bytes in the controller's format: the header, then the bytes,
// LCD 64x32 rows turned round, so that the file loads back to the same bytes.
QByteArray SwitchDataFileBytes(qint16 typeCode, const QByteArray& pictureBytes);

// The data text of a hex-text switch data file: what follows its first 8 bytes, whatever they
// hold, without carriage returns, line feeds and spaces.
QString TextSwitchDataHexText(const QByteArray& fileBytes);
