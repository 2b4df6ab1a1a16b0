#include "SavedAttributes.h"
#include "SwitchCommands.h"
#include "SwitchTypeCode.h"
#include "TestKit.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

PictureFileRecords recordsNamed(const QStringList& names, qint16 typeCode)
{
    PictureFileRecords records(names.size() + 1);
    for (int i = 1; i < records.size(); ++i) {
        records[i].Path = names.at(i - 1);
        records[i].TypeCode = typeCode;
    }
    return records;
}

} // namespace

// The attribute table without its window: the saved attribute file as it is read, the cells a
// record fills, the line a row saves and the command each type's row sends.
class TestAttributeTable : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

private Q_SLOTS:
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral("."))); }

    // Three pictures, the third named like the first but for case; "fields" holds each record's
    // Attributes|LEDon|LEDoff, separated by spaces.
    void readsSavedFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("fields");
        QTest::newRow("five fields")
            << QByteArray("a.bmp|0001|11|1|2\r\nb.bmp|0002|22|3|4\r\n") << "11|1|2 22|3|4 ||";
        QTest::newRow("four fields, no address")
            << QByteArray("a.bmp|11|1|2\r\nb.bmp|22|3|4") << "11|1|2 22|3|4 ||";
        QTest::newRow("first line decides: five-field line read as four")
            << QByteArray("a.bmp|0001|11\r\nb.bmp|0002|22|3|4\r\n") << "0001|11| 0002|22|3 ||";
        QTest::newRow("any case; a name's later line wins; a duplicate updates the first")
            << QByteArray("A.bmp|0001|11||\r\nB.Bmp|0002|22||\r\na.BMP|0001|99||\r\n")
            << "99|| 22|| ||";
        QTest::newRow("blank line ignores the whole file")
            << QByteArray("a.bmp|0001|11||\r\n\r\nb.bmp|0002|22||\r\n") << "|| || ||";
        QTest::newRow("more lines than pictures ignores the whole file")
            << QByteArray("a|1|1||\r\nb|2|2||\r\nc|3|3||\r\nd|4|4||\r\n") << "|| || ||";
    }
    void readsSavedFile()
    {
        QFETCH(QByteArray, content);
        const QString path = folder.filePath(QStringLiteral("SavedAttributesOLED64X48.txt"));
        QVERIFY(WriteFile(path, content));
        PictureFileRecords records =
            recordsNamed({"a.bmp", "b.bmp", "A.BMP"}, SwitchTypeCode::Oled64x48);
        ApplySavedLines(ReadSavedLines(path, 3), records);
        QStringList read;
        for (const PictureFileRecord& record : records.mid(1))
            read << QStringList{record.Attributes, record.LEDon, record.LEDoff}.join('|');
        QTEST(read.join(' '), "fields");
    }

    // What the window test's fresh records do not reach: "record" is Attributes|LEDon|LEDoff,
    // "shown" the cells and then the record's LEDon|LEDoff after filling.
    void fillsCells_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("shown");
        const QString zeros = QStringList(16, QStringLiteral("00")).join(',');
        QTest::newRow("LCD 36x24 odd digit padded")
            << 1 << QString("ABC|7|E") << "AB,0C," + zeros.mid(6) + ",7,E 7|E";
        QTest::newRow("LCD 64x32 LED empty and 00 become 03")
            << 2 << QString("||00") << zeros + ",03,03 03|03";
        QTest::newRow("OLED short piece as it is")
            << 4 << QString("12||") << "12,0000,0000,00,00 |";
        QTest::newRow("COLOR with Extra1")
            << 6 << QString("0102030405061234||") << "01,02,03,04,05,06,1234 |";
    }
    void fillsCells()
    {
        QFETCH(int, type);
        QFETCH(QString, record);
        PictureFileRecord filled;
        filled.Attributes = record.section('|', 0, 0);
        filled.LEDon = record.section('|', 1, 1);
        filled.LEDoff = record.section('|', 2, 2);
        const QStringList cells = FillAttributeCells(qint16(type), filled);
        QTEST(cells.join(',') + ' ' + filled.LEDon + '|' + filled.LEDoff, "shown");
    }

    // What a row saves and sends, each type with and without the identifier. The saved line keeps
    // every cell, hidden ones too; the command holds the visible LCD bytes only, LED codes for
    // LCD 64x32 only, and "U" always for MONO 96x64.
    void rowSavedAndSent()
    {
        const QString lcd = QStringLiteral("01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10");
        const QString lcdDigits = QString(lcd).remove(',');
        const struct
        {
            int type, switches;
            QString cells, saved;
            QByteArray command; // without the identifier
            char identifier;
        } rows[] = {
            {1, 8, lcd + ",7,1", lcdDigits + "|7|1", "*070102030405060708", 'Q'},
            {1, 16, lcd + ",7,1", lcdDigits + "|7|1", "*070102030405060708090A0B0C0D0E0F10", 'Q'},
            {2, 2, lcd + ",C3,03", lcdDigits + "|C3|03", "*07010203040506C303", 'R'},
            {3, 2, "0001,0002,0003,04,05", "0001000200030405||", "*00070001000200030405", 'S'},
            {4, 2, "0001,0002,0003,04,05", "0001000200030405||", "*00070001000200030405", 'T'},
            {5, 2, "1111,2222,3333,4444,55,66,7777,8888", "1111222233334444556677778888||",
             "*U00071111222233334444556677778888", 0},
            {6, 2, "01,02,03,04,05,06,ABCD", "010203040506ABCD||", "*0007010203040506ABCD", 'V'},
        };
        for (const auto& row : rows) {
            const qint16 type = qint16(row.type);
            const QString address = type <= 2 ? QStringLiteral("07") : QStringLiteral("0007");
            const QStringList cells = row.cells.split(QLatin1Char(','));
            PictureFileRecords records = recordsNamed({"a.bmp"}, type);
            QCOMPARE(BuildSavedLine(type, "a.bmp", address, cells, records[1]),
                     "a.bmp|" + address + "|" + row.saved);
            CarryRowIntoRecord(type, row.switches, cells, records[1]);
            QCOMPARE(BuildAttributeCommand(false, type, records, address, 1), row.command);
            QCOMPARE(BuildAttributeCommand(true, type, records, address, 1),
                     row.identifier ? QByteArray(row.command).insert(1, row.identifier)
                                    : row.command);
        }
    }
};

QTEST_MAIN(TestAttributeTable)
#include "tst_attributetable.moc"
