#include "SavedAttributeJobs.h"
#include "TerminalViews.h"

#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTest>

#include <cstdio>

// The command line's parts that tst_cli, running the program, cannot see: what each line of a
// saved attribute file becomes on the wire for `vantrel-cli attributes FILE` (tst_cli sends whole
// files to a controller), and the progress line, which only a terminal shows.
class TestCliParts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral("."))); }

    // Two switches; "commands" holds the error instead when the file is refused.
    void linesBecomeCommands_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("commands");
        QTest::newRow("five fields: the line's address, LED defaults")
            << QStringList{"a.bmp|07|0102030405060708090A0B0C0D0E0F10||", "b.bmp|08|||C3|"} << 2
            << QString() << QStringList{"*070102030405060303", "*0800000000000003C3"};
        QTest::newRow("four fields take consecutive addresses from --start")
            << QStringList{"a.bmp|0001000200030004||", "b.bmp|0005000600070008||"} << 3 << "FFFE"
            << QStringList{"*FFFE0001000200030004", "*FFFF0005000600070008"};
        QTest::newRow("four fields need --start")
            << QStringList{"a.bmp|00||"} << 3 << QString()
            << QStringList{"the file has no address field: give the first address with --start"};
        QTest::newRow("address beyond the type")
            << QStringList{"a.bmp|100|00||"} << 1 << QString()
            << QStringList{"line 1: no address of a LCD 36x24 switch"};
        QTest::newRow("consecutive addresses run out")
            << QStringList{"a.bmp|00||", "b.bmp|00||"} << 2 << "FF"
            << QStringList{"line 2: no address of a LCD 64x32 switch"};
    }
    void linesBecomeCommands()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, type);
        QFETCH(QString, start);
        const SavedAttributeJobs read = JobsFromSavedLines(lines, qint16(type), 2, false, start);
        QStringList sent;
        for (const AttributeJob& job : read.jobs)
            sent << QString::fromLatin1(job.command);
        QTEST(read.error.isEmpty() ? sent : QStringList{read.error}, "commands");
    }

    // A colour picture moves the progress bar 12290 times; the line is drawn once per percent.
    void progressRedrawsPerPercent()
    {
        QTemporaryFile file;
        QVERIFY(file.open());
        std::FILE* stream = std::fopen(qPrintable(file.fileName()), "w");
        QVERIFY(stream);
        ProgressMeter meter(stream);
        meter.setLabel(QStringLiteral("0001"));
        meter.setVisible(true);
        meter.setMaximum(12289);
        for (int value = 0; value <= 12289; ++value)
            meter.setValue(value);
        meter.setVisible(false);
        std::fclose(stream);
        QCOMPARE(meter.redraws(), 101);
        const QByteArray drawn = file.readAll();
        QVERIFY(drawn.contains("\r[##############################] 100%  address 0001"));
        QVERIFY(drawn.endsWith("\r\033[K"));
    }
};

QTEST_MAIN(TestCliParts)
#include "tst_cliparts.moc"
