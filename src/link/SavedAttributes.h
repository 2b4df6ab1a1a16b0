#pragma once

#include "PictureFileRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

// The batch attribute table without its window: which attribute columns each switch type has, how
// a record's attribute digits fill a row and come back out of it, and the per-type saved
// attribute file in the batch folder. The command line reads the same file the same way.

struct AttributeColumn
{
    QString header;
    int digits = 2;            // hex digits the cell holds, which is also the editor's length
    bool hiddenAtLoad = false; // never shown at load: LCD bytes 7-16, COLOR "Extra1"
};

bool IsLcdType(qint16 typeCode);

// The columns after "File" and "Address", in order; for the LCD types "Lon" and "Loff" last.
const QList<AttributeColumn>& AttributeColumns(qint16 typeCode);
// How many of those columns make the record's `Attributes` (all but "Lon" and "Loff").
int AttributeCellCount(qint16 typeCode);

// The LCD types' "Number of Switches": 2, 8 or 16, and how many attribute bytes each shows.
inline constexpr int SwitchChoices[] = {2, 8, 16};
int VisibleLcdCells(int switches); // 6, 8, 16; 0 for any other count
// The headers of the 16 LCD attribute columns for a switch count.
QStringList LcdHeaders(int switches);

// "SavedAttributes36X24.txt" ... by type; empty outside 1..6.
QString SavedAttributeFileName(qint16 typeCode);
// The type as the attribute window's type box shows it.
QString SwitchTypeText(qint16 typeCode);

// The "|" separators in a saved line.
int CountSpaces(const QString& line);

// The lines of a saved attribute file, for a batch of `capacity` pictures. A missing file is
// created empty. A blank line, more lines than pictures, or a read error makes the whole file
// count as holding nothing (an empty list).
QStringList ReadSavedLines(const QString& path, int capacity);

// Takes saved lines into the batch's records (numbered from 1): the first line decides between
// five fields (file, address, attributes, LED on, LED off) and four (no address). A line names its
// record by file name, ignoring letter case; the first match is updated, a line without one is
// skipped. The address field is not read back.
void ApplySavedLines(const QStringList& lines, PictureFileRecords& records);

// The attribute cells of a table row for `record` ("Lon" and "Loff" included), with the defaults
// an empty or short record shows. LCD LED defaults are written back into the record too.
QStringList FillAttributeCells(qint16 typeCode, PictureFileRecord& record);

// Takes a row's cells into its record and returns its saved line: all attribute cells, hidden
// ones included, and for the LCD types the LED cells.
QString BuildSavedLine(qint16 typeCode, const QString& fileName, const QString& address,
                       const QStringList& cells, PictureFileRecord& record);

// Takes a row's cells into its record as a download sends it: the LCD types keep only the
// attribute bytes the switch count shows, the other types keep every cell.
void CarryRowIntoRecord(qint16 typeCode, int switches, const QStringList& cells,
                        PictureFileRecord& record);

// Writes the whole file at once through a temporary file that replaces the old one only when
// complete, lines ended by CR LF. False (the old file left as it was) on any file error.
bool WriteSavedFile(const QString& path, const QStringList& lines);
