#include "CliSession.h"
#include "CommandLine.h"
#include "PtyServer.h"
#include "SavedAttributeJobs.h"
#include "VirtualController.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// `vantrel-cli attributes FILE`: which form the arguments ask for, what each line of a saved
// attribute file becomes on the wire, and a whole file sent to a controller on a pseudo-terminal.
class TestCliAttributes : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

    QString writeFile(const QByteArray& content)
    {
        const QString path = folder.filePath(QStringLiteral("SavedAttributes64X32.txt"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(path));
        file.write(content);
        return path;
    }

private Q_SLOTS:
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral("."))); }

    void formsToldApart_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("usageError");
        QTest::newRow("digits with --address")
            << QStringList{"attributes", "0001000200030004", "--address", "1", "--type", "3"} << "";
        QTest::newRow("digits that are no hex")
            << QStringList{"attributes", "ZZ", "--address", "1", "--type", "3"}
            << "attribute digits must be hex digits (0-9, A-F)";
        QTest::newRow("file without --address")
            << QStringList{"attributes", "Saved.txt", "--type", "2", "--switches", "16"} << "";
        QTest::newRow("other switch count")
            << QStringList{"attributes", "Saved.txt", "--type", "2", "--switches", "4"}
            << "--switches must be 2, 8 or 16";
    }
    void formsToldApart()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, usageError);
        const ParsedCommandLine parsed =
            ParseCommandLine(QStringList{QStringLiteral("vantrel-cli")} + arguments);
        QCOMPARE(parsed.usageError, usageError);
    }

    void linesBecomeCommands_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("switches");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("commands"); // or the error
        QTest::newRow("five fields: the line's address, LED defaults")
            << QStringList{"a.bmp|07|0102030405060708090A0B0C0D0E0F10||", "b.bmp|08|||C3|"} << 2
            << 2 << ""
            << QStringList{"*07010203040506"
                           "0303",
                           "*0800000000000003C3"};
        QTest::newRow("four fields take consecutive addresses from --start")
            << QStringList{"a.bmp|0001000200030004||", "b.bmp|0005000600070008||"} << 3 << 2
            << "FFFE" << QStringList{"*FFFE0001000200030004", "*FFFF0005000600070008"};
        QTest::newRow("four fields need --start")
            << QStringList{"a.bmp|00||"} << 3 << 2 << ""
            << QStringList{"the file has no address field: give the first address with --start"};
        QTest::newRow("address beyond the type")
            << QStringList{"a.bmp|100|00||"} << 1 << 2 << ""
            << QStringList{"line 1: no address of a LCD 36x24 switch"};
        QTest::newRow("consecutive addresses run out")
            << QStringList{"a.bmp|00||", "b.bmp|00||"} << 2 << 2 << "FF"
            << QStringList{"line 2: no address of a LCD 64x32 switch"};
    }
    void linesBecomeCommands()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, type);
        QFETCH(int, switches);
        QFETCH(QString, start);
        QFETCH(QStringList, commands);
        const SavedAttributeJobs read =
            JobsFromSavedLines(lines, qint16(type), switches, false, start);
        QStringList sent;
        for (const AttributeJob& job : read.jobs)
            sent << QString::fromLatin1(job.command);
        QCOMPARE(read.error.isEmpty() ? sent : QStringList{read.error}, commands);
    }

    // The whole file through the real port: every record stored, or a refusing controller ending
    // the command with its exit status after six attempts at the first line.
    void fileSentToController_data()
    {
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("records");
        QTest::newRow("stored") << false << 0 << 2;
        QTest::newRow("refused") << true << 1 << 0;
    }
    void fileSentToController()
    {
        QFETCH(bool, refuse);
        QFETCH(int, exitCode);
        QFETCH(int, records);
        VirtualController controller;
        controller.setMisbehaviour(refuse ? Misbehaviour::RefuseAll : Misbehaviour::None);
        PtyServer server(controller);
        QVERIFY(server.start());
        CliRequest request;
        request.command = CliCommand::Attributes;
        request.arguments = {writeFile("a.bmp|01|0102030405060708090A0B0C0D0E0F10|C3|C7\r\n"
                                       "b.bmp|02|||\r\n")};
        request.port = server.devicePath();
        request.typeCode = 2;
        request.switches = 16;
        request.withTypeLetter = true;
        QCOMPARE(CliSession(request, nullptr).run(), exitCode);
        QCOMPARE(controller.attributeRecords().size(), records);
        if (refuse) {
            QCOMPARE(controller.receivedBytes().count("*R01"), 6);
            return;
        }
        QCOMPARE(controller.attributeRecord(1)->digits,
                 QByteArray("0102030405060708090A0B0C0D0E0F10C3C7"));
        QCOMPARE(controller.attributeRecord(2)->digits, QByteArray(32, '0') + "0303");
    }
};

QTEST_MAIN(TestCliAttributes)
#include "tst_cliattributes.moc"
