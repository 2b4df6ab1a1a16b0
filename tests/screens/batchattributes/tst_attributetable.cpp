#include "SavedAttributes.h"
#include "SwitchCommands.h"
#include "SwitchTypeCode.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

PictureFileRecords recordsNamed(const QStringList& names, qint16 typeCode)
{
    PictureFileRecords records(1);
    for (const QString& name : names) {
        PictureFileRecord record;
        record.Path = name;
        record.TypeCode = typeCode;
        records << record;
    }
    return records;
}

QString attributeFields(const PictureFileRecord& record)
{
    return QStringList{record.Attributes, record.LEDon, record.LEDoff}.join(QLatin1Char('|'));
}

} // namespace

// The attribute table without its window: the saved attribute file as it is read and written,
// the cells a record fills, and the command each type's row sends.
class TestAttributeTable : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

    QString writeSaved(const QByteArray& content)
    {
        const QString path = folder.filePath(QStringLiteral("SavedAttributesOLED64X48.txt"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(path));
        file.write(content);
        return path;
    }

private Q_SLOTS:
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral("."))); }

    void readsSavedFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("fields"); // per record: Attributes|LEDon|LEDoff
        const QStringList untouched{"||", "||"};
        QTest::newRow("five fields") << QByteArray("a.bmp|0001|11|1|2\r\nb.bmp|0002|22|3|4\r\n")
                                     << QStringList{"11|1|2", "22|3|4"};
        QTest::newRow("four fields, no address")
            << QByteArray("a.bmp|11|1|2\r\nb.bmp|22|3|4") << QStringList{"11|1|2", "22|3|4"};
        QTest::newRow("first line decides: five-field line read as four")
            << QByteArray("a.bmp|0001|11\r\nb.bmp|0002|22|3|4\r\n")
            << QStringList{"0001|11|", "0002|22|3"};
        QTest::newRow("names match in any case")
            << QByteArray("A.BMP|0001|11||\r\nB.Bmp|0002|22||\r\n") << QStringList{"11||", "22||"};
        QTest::newRow("unknown name skipped")
            << QByteArray("z.bmp|0001|11||\r\nb.bmp|0002|22||\r\n") << QStringList{"||", "22||"};
        QTest::newRow("blank line ignores the whole file")
            << QByteArray("a.bmp|0001|11||\r\n\r\nb.bmp|0002|22||\r\n") << untouched;
        QTest::newRow("more lines than pictures ignores the whole file")
            << QByteArray("a.bmp|0001|11||\r\nb.bmp|0002|22||\r\nc.bmp|0003|33||\r\n") << untouched;
        QTest::newRow("later line for the same name wins")
            << QByteArray("a.bmp|0001|11||\r\na.bmp|0001|99||\r\n") << QStringList{"99||", "||"};
    }
    void readsSavedFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, fields);
        PictureFileRecords records = recordsNamed({"a.bmp", "b.bmp"}, SwitchTypeCode::Oled64x48);
        ApplySavedLines(ReadSavedLines(writeSaved(content), 2), records);
        QCOMPARE(attributeFields(records.at(1)), fields.at(0));
        QCOMPARE(attributeFields(records.at(2)), fields.at(1));
    }

    // Two pictures whose names differ only in case: a line updates the first one only.
    void duplicateNamesUpdateTheFirstRecord()
    {
        PictureFileRecords records = recordsNamed({"a.bmp", "A.BMP"}, SwitchTypeCode::Oled64x48);
        ApplySavedLines({QStringLiteral("A.bmp|0001|11||")}, records);
        QCOMPARE(records.at(1).Attributes, QString("11"));
        QCOMPARE(records.at(2).Attributes, QString());
    }

    void fillsCells_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("attributes");
        QTest::addColumn<QString>("led"); // LEDon|LEDoff as the record holds them
        QTest::addColumn<QString>("cells");
        QTest::addColumn<QString>("ledAfter");
        const QString zeros16 = QStringList(16, QStringLiteral("00")).join(QLatin1Char(','));
        QTest::newRow("LCD 36x24 empty: zeros and LED 0") << 1 << ""
                                                          << "|" << zeros16 + ",0,0"
                                                          << "0|0";
        QTest::newRow("LCD 36x24 odd digit padded")
            << 1 << "ABC"
            << "7|E"
            << "AB,0C," + QStringList(14, "00").join(',') + ",7,E"
            << "7|E";
        QTest::newRow("LCD 64x32 LED empty and 00 become 03") << 2 << ""
                                                              << "|00" << zeros16 + ",03,03"
                                                              << "03|03";
        QTest::newRow("LCD 64x32 LED kept") << 2 << ""
                                            << "80|FF" << zeros16 + ",80,FF"
                                            << "80|FF";
        QTest::newRow("OLED record") << 3 << "00010002000300FF"
                                     << "|"
                                     << "0001,0002,0003,00,FF"
                                     << "|";
        QTest::newRow("OLED short piece shown as it is") << 4 << "12"
                                                         << "|"
                                                         << "12,0000,0000,00,00"
                                                         << "|";
        QTest::newRow("MONO record") << 5 << "1111222233334444556677778888"
                                     << "|"
                                     << "1111,2222,3333,4444,55,66,7777,8888"
                                     << "|";
        QTest::newRow("COLOR with Extra1") << 6 << "0102030405061234"
                                           << "|"
                                           << "01,02,03,04,05,06,1234"
                                           << "|";
    }
    void fillsCells()
    {
        QFETCH(int, type);
        QFETCH(QString, attributes);
        QFETCH(QString, led);
        QFETCH(QString, cells);
        QFETCH(QString, ledAfter);
        PictureFileRecord record;
        record.Attributes = attributes;
        record.LEDon = led.section(QLatin1Char('|'), 0, 0);
        record.LEDoff = led.section(QLatin1Char('|'), 1, 1);
        QCOMPARE(FillAttributeCells(qint16(type), record).join(QLatin1Char(',')), cells);
        QCOMPARE(record.LEDon + QLatin1Char('|') + record.LEDoff, ledAfter);
    }

    void savedLineKeepsEveryCell_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("cells");
        QTest::addColumn<QString>("line");
        QTest::newRow("OLED 64x48") << 3 << "0001,0002,0003,00,FF"
                                    << "pic01.bmp|0001|00010002000300FF||";
        // Hidden columns are saved as well: the file always keeps all 16 bytes.
        QTest::newRow("LCD 64x32 all 16 bytes")
            << 2 << "01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,C3,03"
            << "pic01.bmp|0001|0102030405060708090A0B0C0D0E0F10|C3|03";
        QTest::newRow("COLOR hidden Extra1") << 6 << "01,02,03,04,05,06,ABCD"
                                             << "pic01.bmp|0001|010203040506ABCD||";
    }
    void savedLineKeepsEveryCell()
    {
        QFETCH(int, type);
        QFETCH(QString, cells);
        QFETCH(QString, line);
        PictureFileRecord record;
        QCOMPARE(BuildSavedLine(qint16(type), QStringLiteral("pic01.bmp"), QStringLiteral("0001"),
                                cells.split(QLatin1Char(',')), record),
                 line);
        QCOMPARE(record.Attributes, line.section(QLatin1Char('|'), 2, 2));
    }

    void savedFileWrittenWhole()
    {
        const QString path = folder.filePath(QStringLiteral("SavedAttributesOLED96X64.txt"));
        QVERIFY(
            WriteSavedFile(path, {QStringLiteral("a.bmp|0001|11||"), QStringLiteral("b|2|2||")}));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("a.bmp|0001|11||\r\nb|2|2||\r\n"));
        QVERIFY(!WriteSavedFile(folder.filePath(QStringLiteral("gone/x.txt")), {"a"}));
    }

    // What a row sends: the visible LCD bytes only, LED codes for LCD 64x32 only, "U" always for
    // MONO 96x64.
    void rowCommand_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("switches");
        QTest::addColumn<bool>("identifier");
        QTest::addColumn<QByteArray>("command");
        const QString lcd = QStringLiteral("01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10");
        QTest::newRow("LCD 64x32, 2 switches: 19 characters")
            << 2 << 2 << false << QByteArray("*07010203040506C303");
        QTest::newRow("LCD 64x32, 2 switches, identifier: 20 characters")
            << 2 << 2 << true << QByteArray("*R07010203040506C303");
        QTest::newRow("LCD 36x24, 16 switches: no LED codes")
            << 1 << 16 << false << QByteArray("*070102030405060708090A0B0C0D0E0F10");
        QTest::newRow("LCD 36x24, 8 switches, identifier")
            << 1 << 8 << true << QByteArray("*Q070102030405060708");
        QTest::newRow("MONO without identifier still U")
            << 5 << 2 << false << QByteArray("*U00071111222233334444556677778888");
        QTest::newRow("MONO with identifier")
            << 5 << 2 << true << QByteArray("*U00071111222233334444556677778888");
        QTest::newRow("COLOR identifier, hidden Extra1 sent")
            << 6 << 2 << true << QByteArray("*V0007010203040506ABCD");
        QTest::newRow("OLED 52x36 identifier")
            << 4 << 2 << true << QByteArray("*T00070001000200030405");
    }
    void rowCommand()
    {
        QFETCH(int, type);
        QFETCH(int, switches);
        QFETCH(bool, identifier);
        QFETCH(QByteArray, command);
        static const QMap<int, QString> cells{
            {1, "01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,7,1"},
            {2, "01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,C3,03"},
            {4, "0001,0002,0003,04,05"},
            {5, "1111,2222,3333,4444,55,66,7777,8888"},
            {6, "01,02,03,04,05,06,ABCD"}};
        PictureFileRecords records = recordsNamed({"a.bmp"}, qint16(type));
        CarryRowIntoRecord(qint16(type), switches, cells.value(type).split(QLatin1Char(',')),
                           records[1]);
        const QString address = type <= 2 ? QStringLiteral("07") : QStringLiteral("0007");
        QCOMPARE(BuildAttributeCommand(identifier, qint16(type), records, address, 1), command);
    }
};

QTEST_MAIN(TestAttributeTable)
#include "tst_attributetable.moc"
