#include "SavedAttributeJobs.h"

#include "Conversions.h"
#include "HexField.h"
#include "SavedAttributes.h"
#include "SwitchCommands.h"

namespace {

// The address text checked for the type; the empty text when it is not an address.
QString checkedAddress(const QString& text, qint16 typeCode)
{
    const int width = AddressWidth(typeCode);
    const HexFieldVerdict verdict =
        CheckHexField(PadAddress(text, width), width, HighestAddress(typeCode));
    return verdict.accepted && HexToLong(verdict.text, false) > 0 ? verdict.text : QString();
}

} // namespace

SavedAttributeJobs JobsFromSavedLines(const QStringList& lines, qint16 typeCode, int switches,
                                      bool withTypeLetter, const QString& start)
{
    SavedAttributeJobs result;
    if (lines.isEmpty()) {
        result.error = QStringLiteral("the file holds no attribute lines (an empty or blank line "
                                      "makes the whole file count as empty)");
        return result;
    }
    const int fieldCount = CountSpaces(lines.first()) == 4 ? 5 : 4;
    qint64 nextAddress = 0;
    if (fieldCount == 4) {
        const QString first = checkedAddress(start, typeCode);
        if (first.isEmpty()) {
            result.error = QStringLiteral("the file has no address field: give the first "
                                          "address with --start");
            return result;
        }
        nextAddress = HexToLong(first, false);
    }
    PictureFileRecords records(1);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringList fields = lines.at(i).split(QLatin1Char('|'));
        fields.resize(fieldCount);
        const QString address =
            fieldCount == 5 ? checkedAddress(fields.at(1), typeCode)
                            : checkedAddress(FormatAddress(nextAddress++, typeCode), typeCode);
        if (address.isEmpty()) {
            result.error = QStringLiteral("line %1: no address of a %2 switch")
                               .arg(i + 1)
                               .arg(SwitchTypeText(typeCode));
            return result;
        }
        PictureFileRecord record;
        record.Path = fields.at(0);
        record.TypeCode = typeCode;
        record.Attributes = fields.at(fieldCount - 3);
        record.LEDon = fields.at(fieldCount - 2);
        record.LEDoff = fields.at(fieldCount - 1);
        CarryRowIntoRecord(typeCode, switches, FillAttributeCells(typeCode, record), record);
        records.append(record);
        result.jobs.append({record.Path, address,
                            BuildAttributeCommand(withTypeLetter, typeCode, records, address,
                                                  int(records.size()) - 1)});
    }
    return result;
}
