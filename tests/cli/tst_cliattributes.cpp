#include "CliSession.h"
#include "CommandLine.h"
#include "PtyServer.h"
#include "SavedAttributeJobs.h"
#include "VirtualController.h"

#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTest>

#include <cstdio>
#include <unistd.h>

// `vantrel-cli attributes FILE`: which form the arguments ask for, what each line of a saved
// attribute file becomes on the wire, and a whole file sent to a controller on a pseudo-terminal.
class TestCliAttributes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral("."))); }

    void formsToldApart_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("usageError");
        QTest::newRow("digits that are no hex") << "attributes ZZ --address 1 --type 3"
                                                << "attribute digits must be hex digits (0-9, A-F)";
        QTest::newRow("file without --address")
            << "attributes Saved.txt --type 2 --switches 16" << QString();
        QTest::newRow("other switch count") << "attributes Saved.txt --type 2 --switches 4"
                                            << "--switches must be 2, 8 or 16";
    }
    void formsToldApart()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, usageError);
        QCOMPARE(ParseCommandLine(("vantrel-cli " + arguments).split(' ')).usageError, usageError);
    }

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
        QFETCH(QStringList, commands);
        const SavedAttributeJobs read = JobsFromSavedLines(lines, qint16(type), 2, false, start);
        QStringList sent;
        for (const AttributeJob& job : read.jobs)
            sent << QString::fromLatin1(job.command);
        QCOMPARE(read.error.isEmpty() ? sent : QStringList{read.error}, commands);
    }

    // The whole file through the real port: a line for each record, or a refusing controller
    // ending the command at the first line with its exit status.
    void fileSentToController_data()
    {
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("printed");
        QTest::newRow("stored") << false << 0
                                << QByteArray("a.bmp 01: Attributes downloaded\n"
                                              "b.bmp 02: Attributes downloaded\n");
        QTest::newRow("refused") << true << 1 << QByteArray("a.bmp 01: Reply: 6E\n");
    }
    void fileSentToController()
    {
        QFETCH(bool, refuse);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, printed);
        VirtualController controller;
        controller.setMisbehaviour(refuse ? Misbehaviour::RefuseAll : Misbehaviour::None);
        PtyServer server(controller);
        QVERIFY(server.start());
        QTemporaryFile saved;
        QVERIFY(saved.open());
        saved.write("a.bmp|01|0102030405060708090A0B0C0D0E0F10|C3|C7\r\nb.bmp|02|||\r\n");
        saved.flush();
        CliRequest request;
        request.command = CliCommand::Attributes;
        request.arguments = {saved.fileName()};
        request.port = server.devicePath();
        request.typeCode = 2;
        request.switches = 16;
        request.withTypeLetter = true;

        // The outcome lines go to stdout: caught in a file for the length of the run.
        QTemporaryFile out;
        QVERIFY(out.open());
        std::fflush(stdout);
        const int terminal = dup(STDOUT_FILENO);
        dup2(out.handle(), STDOUT_FILENO);
        const int exitStatus = CliSession(request, nullptr).run();
        std::fflush(stdout);
        dup2(terminal, STDOUT_FILENO);
        close(terminal);
        lseek(out.handle(), 0, SEEK_SET); // the run's writes moved the offset the file shares
        QCOMPARE(exitStatus, exitCode);
        QCOMPARE(out.readAll(), printed);
    }
};

QTEST_MAIN(TestCliAttributes)
#include "tst_cliattributes.moc"
