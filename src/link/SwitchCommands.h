#pragma once

#include "PictureFileRecord.h"

#include <QByteArray>
#include <QString>

struct AppState;
class ControllerLink;
class Prompter;

// Asks before sending something the controller is not set up for. True at once for MONO 96x64,
// for a type equal to the controller's setting, and while replies are not being checked.
bool ConfirmPictureType(const AppState& state, Prompter& prompter);
bool ConfirmAttributeType(const AppState& state, Prompter& prompter);
// The clear command's question: the picture question with "clear address" in its second line.
bool ConfirmClearType(const AppState& state, Prompter& prompter);

// "(" then the type letter where one is wanted, then the address as ASCII hex digits. MONO 96x64
// pictures always carry their letter 'U'; the others carry 'Q'..'V' (0x50 + type) on request.
QByteArray TransferHeader(qint16 typeCode, bool withTypeLetter, const QString& addressText);

// The attribute command of record `index`: "*", the type letter when wanted (always "U" for
// MONO 96x64), the address and the attribute digits; LCD 64x32 records add their LED codes.
QByteArray BuildAttributeCommand(bool withTypeLetter, qint16 currentTypeCode,
                                 const PictureFileRecords& records, const QString& addressText,
                                 int index);

// LCD addresses are cleared by a blank picture of 256 zero bytes, whatever the LCD type.
QString LcdClearData();
// The clear command for the OLED and 96x64 types: "'C", the address as ASCII digits, "0000".
QString ClearCommandHex(const QString& addressText);

// The text of the LED tester's seven buttons, as hex commands.
QString LedTesterCommand(int index);

// The first eight bytes of a file as 16 upper-case hex digits (fewer for a shorter file).
QString ReadFileHeader(const QString& path);
inline const QString RawDataHeader = QStringLiteral("5241572044415441"); // "RAW DATA"

// How a raw data file went: only a file sent to its end, on a port still open, is a downloaded
// file; one cut short by a lost port or a blocked line is not.
enum class TextFileSend { Unreadable, Sent, CutShort };
// Streams a raw data file line by line after its eight-character header: as written, or with each
// pair of hex digits sent as the byte it stands for; it stops after a line that lost the port or
// found the line blocked.
TextFileSend SendTextFile(ControllerLink& link, const QString& path, bool sendAsCharacters);
// One data line as it goes on the wire (line breaks and spaces removed).
QByteArray TextFileLineBytes(const QString& line, bool sendAsCharacters);
