#include "SavedAttributes.h"

#include "SwitchTypeCode.h"
#include "WholeFile.h"

#include <QFile>
#include <QHash>
#include <QTextStream>

namespace {

QList<AttributeColumn> lcdColumns(int ledDigits)
{
    QList<AttributeColumn> columns;
    const QStringList headers = LcdHeaders(2);
    for (int i = 0; i < 16; ++i)
        columns.append({headers.at(i), 2, i >= VisibleLcdCells(2)});
    columns.append({QStringLiteral("Lon"), ledDigits, false});
    columns.append({QStringLiteral("Loff"), ledDigits, false});
    return columns;
}

QList<AttributeColumn> namedColumns(std::initializer_list<std::pair<const char*, int>> cells)
{
    QList<AttributeColumn> columns;
    for (const auto& [header, digits] : cells)
        columns.append({QString::fromLatin1(header), digits, false});
    return columns;
}

QList<AttributeColumn> colourColumns()
{
    QList<AttributeColumn> columns = namedColumns(
        {{"NewAdd", 2}, {"Right", 2}, {"Offset", 2}, {"NumH", 2}, {"NumV", 2}, {"Timer", 2}});
    columns.append({QStringLiteral("Extra1"), 4, true});
    return columns;
}

// The LED texts an LCD row shows and saves when the record has none of its own.
void applyLedDefaults(qint16 typeCode, PictureFileRecord& record)
{
    for (QString* led : {&record.LEDon, &record.LEDoff}) {
        if (typeCode == SwitchTypeCode::Lcd36x24 && led->isEmpty())
            *led = QStringLiteral("0");
        else if (typeCode == SwitchTypeCode::Lcd64x32 &&
                 (led->isEmpty() || *led == QLatin1String("00")))
            *led = QStringLiteral("03");
    }
}

} // namespace

bool IsLcdType(qint16 typeCode)
{
    return typeCode == SwitchTypeCode::Lcd36x24 || typeCode == SwitchTypeCode::Lcd64x32;
}

const QList<AttributeColumn>& AttributeColumns(qint16 typeCode)
{
    static const QList<AttributeColumn> lcd36x24 = lcdColumns(1);
    static const QList<AttributeColumn> lcd64x32 = lcdColumns(2);
    static const QList<AttributeColumn> oled =
        namedColumns({{"SP1", 4}, {"SP2", 4}, {"EP1", 4}, {"T1V", 2}, {"T2V", 2}});
    static const QList<AttributeColumn> mono = namedColumns({{"TOP", 4},
                                                             {"MID", 4},
                                                             {"BTM", 4},
                                                             {"EP1", 4},
                                                             {"T1V", 2},
                                                             {"T2V", 2},
                                                             {"LFT", 4},
                                                             {"RHT", 4}});
    static const QList<AttributeColumn> colour = colourColumns();
    static const QList<AttributeColumn> none;
    switch (typeCode) {
    case SwitchTypeCode::Lcd36x24:
        return lcd36x24;
    case SwitchTypeCode::Lcd64x32:
        return lcd64x32;
    case SwitchTypeCode::Oled64x48:
    case SwitchTypeCode::Oled52x36:
        return oled;
    case SwitchTypeCode::Mono96x64:
        return mono;
    case SwitchTypeCode::Color96x64:
        return colour;
    default:
        return none;
    }
}

int AttributeCellCount(qint16 typeCode)
{
    const int columns = int(AttributeColumns(typeCode).size());
    return IsLcdType(typeCode) ? columns - 2 : columns;
}

int VisibleLcdCells(int switches)
{
    switch (switches) {
    case 2:
        return 6;
    case 8:
        return 8;
    case 16:
        return 16;
    default:
        return 0;
    }
}

QStringList LcdHeaders(int switches)
{
    QStringList headers;
    if (switches == 2)
        headers = {QStringLiteral("PM1"), QStringLiteral("PM2"), QStringLiteral("PT1"),
                   QStringLiteral("PT2"), QStringLiteral("T1V"), QStringLiteral("T2V")};
    // The columns past the named ones carry their byte numbers.
    for (int i = int(headers.size()) + 1; i <= 16; ++i)
        headers << QString::number(i);
    return headers;
}

QString SavedAttributeFileName(qint16 typeCode)
{
    static const char* const Names[] = {
        "SavedAttributes36X24.txt",     "SavedAttributes64X32.txt",
        "SavedAttributesOLED64X48.txt", "SavedAttributesOLED52X36.txt",
        "SavedAttributesOLED96X64.txt", "SavedAttributesOLED96X64C.txt"};
    if (typeCode < 1 || typeCode > 6)
        return QString();
    return QString::fromLatin1(Names[typeCode - 1]);
}

QString SwitchTypeText(qint16 typeCode)
{
    static const char* const Texts[] = {"LCD 36x24",  "LCD 64x32",  "OLED 64x48",
                                        "OLED 52x36", "MONO 96x64", "COLOR 96x64"};
    if (typeCode < 1 || typeCode > 6)
        return QString();
    return QString::fromLatin1(Texts[typeCode - 1]);
}

int CountSpaces(const QString& line)
{
    return int(line.count(QLatin1Char('|')));
}

QStringList ReadSavedLines(const QString& path, int capacity)
{
    QFile file(path);
    if (!file.exists()) {
        // Created empty, so the operator finds where the batch's values will be kept.
        if (file.open(QIODevice::WriteOnly))
            file.close();
        return {};
    }
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines;
    QTextStream in(&file);
    QString line;
    while (in.readLineInto(&line)) {
        if (line.isEmpty() || lines.size() == capacity)
            return {};
        lines << line;
    }
    if (in.status() != QTextStream::Ok || file.error() != QFileDevice::NoError)
        return {};
    return lines;
}

void ApplySavedLines(const QStringList& lines, PictureFileRecords& records)
{
    if (lines.isEmpty())
        return;
    // Names looked up by their case-folded form, each to its first record: a batch of thousands
    // is matched in one pass instead of one scan of the batch per line.
    QHash<QString, qsizetype> firstRecord;
    firstRecord.reserve(records.size());
    for (qsizetype i = records.size() - 1; i >= 1; --i) // the first of equal names stays
        firstRecord[records.at(i).Path.toCaseFolded()] = i;
    const int fieldCount = CountSpaces(lines.first()) == 4 ? 5 : 4;
    for (const QString& line : lines) {
        QStringList fields = line.split(QLatin1Char('|'));
        fields.resize(fieldCount); // fields the line does not reach stay empty, more are ignored
        const auto found = firstRecord.constFind(fields.first().toCaseFolded());
        if (found == firstRecord.cend())
            continue;
        PictureFileRecord& record = records[*found];
        record.Attributes = fields.at(fieldCount - 3);
        record.LEDon = fields.at(fieldCount - 2);
        record.LEDoff = fields.at(fieldCount - 1);
    }
}

QStringList FillAttributeCells(qint16 typeCode, PictureFileRecord& record)
{
    const QList<AttributeColumn>& columns = AttributeColumns(typeCode);
    const int attributeCells = AttributeCellCount(typeCode);
    const bool lcd = IsLcdType(typeCode);
    QStringList cells;
    qsizetype position = 0;
    for (int c = 0; c < attributeCells; ++c) {
        const int digits = columns.at(c).digits;
        const QString piece = record.Attributes.mid(position, digits);
        position += digits;
        if (piece.isEmpty())
            cells << QString(digits, QLatin1Char('0'));
        else
            cells << (lcd ? piece.rightJustified(digits, QLatin1Char('0')) : piece);
    }
    if (lcd) {
        applyLedDefaults(typeCode, record);
        cells << record.LEDon << record.LEDoff;
    }
    return cells;
}

QString BuildSavedLine(qint16 typeCode, const QString& fileName, const QString& address,
                       const QStringList& cells, PictureFileRecord& record)
{
    const int attributeCells = AttributeCellCount(typeCode);
    record.Attributes = cells.mid(0, attributeCells).join(QString());
    record.LEDon = IsLcdType(typeCode) ? cells.value(attributeCells) : QString();
    record.LEDoff = IsLcdType(typeCode) ? cells.value(attributeCells + 1) : QString();
    return QStringList{fileName, address, record.Attributes, record.LEDon, record.LEDoff}.join(
        QLatin1Char('|'));
}

void CarryRowIntoRecord(qint16 typeCode, int switches, const QStringList& cells,
                        PictureFileRecord& record)
{
    const int attributeCells = AttributeCellCount(typeCode);
    if (!IsLcdType(typeCode)) {
        record.Attributes = cells.mid(0, attributeCells).join(QString());
        return;
    }
    record.Attributes = cells.mid(0, VisibleLcdCells(switches)).join(QString());
    record.LEDon = cells.value(attributeCells);
    record.LEDoff = cells.value(attributeCells + 1);
}

bool WriteSavedFile(const QString& path, const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    return WriteWholeFile(path, bytes).isEmpty();
}
