#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text conversions used wherever commands, addresses and attribute records are composed.
// All of them are total: bad input gives 0, nothing, or the input unchanged.

// True when the text (spaces ignored) holds only hex digits. A single decimal digit is taken as
// plain text, a single letter A..F as hex; the empty text counts as hex.
bool IsHexText(const QString& text);
// One byte per digit pair; an odd last digit stands alone; an unreadable pair gives 0.
QByteArray HexToBytes(const QString& hexText);
// The leading hex digits as a number. shortForm: up to four digits read as a signed 16-bit value.
qint32 HexToLong(const QString& text, bool shortForm);
// Digits and letters become the hex codes of their ASCII characters ("7" -> "37", "A" -> "41").
QString TextToAsciiHex(const QString& text);
QString BinaryToHex(const QString& bits);
QString HexToBinary(const QString& hex);

// Address texts: 2 hex digits for the LCD types, 4 for the others (0 for other type codes).
int AddressWidth(qint16 typeCode);
int HighestAddress(qint16 typeCode);
// Right-aligns the text in the type's width with "0" fill; a longer text stays as it is.
QString PadAddress(const QString& text, int width);
QString FormatAddress(qint64 value, qint16 typeCode);
// Elements 1..count (element 0 is empty), the default addresses of a batch.
QStringList MakeAddressList(int count, qint16 typeCode);
QStringList OffsetAddressList(int count, qint16 typeCode, qint64 offset);

// Two upper-case hex digits per byte, as the traffic log shows bytes.
QString BytesToHexPairs(const QByteArray& bytes);

qint64 GetTicks();
bool FileExists(const QString& path);
