#include "AttributeRun.h"
#include "ControllerLink.h"
#include "ControllerOperations.h"
#include "LinkFakes.h"
#include "PortCatalog.h"
#include "SwitchCommands.h"
#include "TestKit.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <numeric>

namespace {

// Each row's states as letters, in the order AttributeRowState declares them: W(aiting),
// S(ending), C(onfirmed), R(efused), N(o reply), X (not ready), F(ailed).
class RecordingRunView : public AttributeRunView
{
public:
    void showRowState(int row, AttributeRowState state) override
    {
        states[row] += QLatin1Char("WSCRNXF"[int(state)]);
    }

    QMap<int, QString> states;
};

const QList<AttributeJob> TwoRows{{"a.bmp", "0001", "*000100010002000300FF"},
                                  {"b.bmp", "0002", "*000200010002000300FF"}};

} // namespace

// The controller query, the two transfers and the batch attribute run, through a scripted port:
// the exact bytes on the wire, the progress the operator sees, and the outcome left in the reply
// state.
class TestTransfer : public QObject
{
    Q_OBJECT

    std::unique_ptr<LinkRig> rig;
    ScriptedPort* port = nullptr;

    // Answers the header with 'a' and the last of `pieces` pieces with 'y'.
    void answerTransfer(int pieces)
    {
        port->responder = [this, pieces](const QByteArray&) {
            const qsizetype written = port->writes.size();
            return written == 1 ? QByteArray("a") : QByteArray(written == pieces + 1 ? "y" : "");
        };
    }

private Q_SLOTS:
    void init()
    {
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        rig = std::make_unique<LinkRig>();
        rig->catalog.addPort("/dev/fake", QString(),
                             [] { return std::make_unique<ScriptedPort>(); });
        port = static_cast<ScriptedPort*>(rig->catalog.port(1));
        rig->state.RequestedPort = 1;
        rig->link.setPortNumber(1);
        QVERIFY(rig->link.OpenPort());
    }
    void cleanup() { rig.reset(); }

    void query_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("setting");
        QTest::addColumn<QStringList>("shown"); // panel 4, setting text, name, firmware
        const QString received = "Command received";
        QTest::newRow("spaces removed, V before X")
            << QByteArray("a7 BOX V2.1 y") << 7
            << QStringList{received, "All Switches", "BOX", "2.1"};
        QTest::newRow("split at every R")
            << QByteArray("a1BOARDR2.1y") << 1 << QStringList{received, "LCD 36x24", "BOA", "D"};
        QTest::newRow("unknown code keeps box")
            << QByteArray("a9XYZV1.00y") << 9
            << QStringList{received, "old setting", "XYZ", "1.00"};
        QTest::newRow("name containing V")
            << QByteArray("a3DEVV1.0y") << 3 << QStringList{received, "OLED 64x48", "DE", ""};
        QTest::newRow("no digit, no letter")
            << QByteArray("aXNAME1.0y") << 0
            << QStringList{received, "No Setting", "old name", "old version"};
        QTest::newRow("control characters dropped")
            << QByteArray("a6\r\nUNITV3\xB0.2y") << 6
            << QStringList{received, "COLOR 96x64", "UNIT", "3.2"};
        // The reply comes as one chunk of ten bytes or more; a shorter one is no reply at all.
        QTest::newRow("short answer is none")
            << QByteArray("an") << 3 << QStringList{"No controller reply", "", "No Reply", ""};
    }
    void query()
    {
        QFETCH(QByteArray, reply);
        rig->state.ControllerSetting = 3;
        rig->screen.settingText = "old setting";
        rig->screen.controllerName = "old name";
        rig->screen.firmwareVersion = "old version";
        port->answer = reply;
        rig->link.QueryController();
        QCOMPARE(port->written, QByteArray("&RX"));
        QTEST(int(rig->state.ControllerSetting), "setting");
        QTEST((QStringList{rig->shell.panels[4], rig->screen.settingText,
                           rig->screen.controllerName, rig->screen.firmwareVersion}),
              "shown");
        QVERIFY(rig->state.RawReply.isEmpty());
    }

    // An answer left over from the query must not end the wait of the next command: each
    // operation waits for the controller's answer to its own command, which comes late here.
    void operationsWaitForTheirOwnAnswer_data()
    {
        QTest::addColumn<int>("operation");
        QTest::newRow("attributes") << 0;
        QTest::newRow("call") << 1;
        QTest::newRow("clear") << 2;
    }
    void operationsWaitForTheirOwnAnswer()
    {
        QFETCH(int, operation);
        rig->state.ReplyCode = "79";
        rig->state.ReadyReceived = true;
        rig->state.TypeCode = 3;
        port->responder = [this](const QByteArray&) {
            QTimer::singleShot(30, port, [this] { port->feed("ay"); });
            return QByteArray();
        };
        const ReplyOutcome outcome = operation == 0   ? SendAttributeCommand(rig->link, "*0001AB")
                                     : operation == 1 ? CallController(rig->link)
                                                      : ClearAddress(rig->link, false, "0001");
        QCOMPARE(outcome, ReplyOutcome::Done);
        QCOMPARE(rig->screen.received, "61 79 ");
    }

    // The line stops taking data: the command gives up after the stall limit, says how far it
    // got, and drops what did not leave, so the next command goes out on a clean line and gets
    // its own answer.
    void blockedLineIsReported_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("takenWrites"); // writes the line takes before it blocks
        QTest::addColumn<QString>("status");
        QTest::newRow("picture, from the third piece on")
            << 0 << 3 << " The line was blocked for 5 s; 4 of 100 characters sent.";
        QTest::newRow("attribute command")
            << 1 << 0 << " The line was blocked for 5 s; 0 of 7 characters sent.";
        QTest::newRow("raw data file, its first line")
            << 2 << 1 << " The line was blocked for 5 s; 2 of 51 characters sent.";
    }
    void blockedLineIsReported()
    {
        QFETCH(int, operation);
        QFETCH(int, takenWrites);
        rig->state.TypeCode = 3;
        port->responder = [this, takenWrites](const QByteArray& bytes) {
            if (port->writes.size() > takenWrites)
                port->queued += bytes.size();
            return port->writes.size() == 1 ? QByteArray("a") : QByteArray();
        };
        if (operation == 0) {
            rig->link.TransferData(false, "0001", QString(100, u'A'));
        } else if (operation == 1) {
            QCOMPARE(SendAttributeCommand(rig->link, "*0001AB"), ReplyOutcome::LineBlocked);
        } else {
            QTemporaryDir folder;
            const QString path = folder.filePath("raw.txt");
            QVERIFY(WriteFile(path, "RAW DATA\r\n" + QByteArray(51, 'B') + "\r\nCC\r\n"));
            // Cut short, the file is not a downloaded file, and its second line never goes.
            QCOMPARE(SendTextFile(rig->link, path, false), TextFileSend::CutShort);
            QVERIFY(!port->written.contains("CC"));
        }
        QCOMPARE(rig->state.ReplyCode, "no reply");
        QCOMPARE(ReadReplyOutcome(rig->link), ReplyOutcome::LineBlocked);
        QTEST(rig->screen.status(), "status");
        QVERIFY(!rig->shell.progressVisible);
        QCOMPARE(port->discards, 1);

        port->responder = [](const QByteArray&) { return QByteArray("ay"); };
        QCOMPARE(CallController(rig->link), ReplyOutcome::Done);
        QVERIFY(!rig->link.lineBlocked());
    }

    void pictureInTwoCharacterPieces_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("letter");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QList<QByteArray>>("writes");
        QTest::addColumn<int>("displayData");
        QTest::addColumn<QString>("echo");
        // "Display data" ticked echoes the header as hex and the pieces as they are, unticked the
        // header only.
        QTest::newRow("OLED 64x48 letter, odd last digit not sent, echoed")
            << 3 << true << "ABCDE" << QList<QByteArray>{"(S0001", "AB", "CD"} << 1
            << "\r\n28 53 30 30 30 31 AB CD ";
        QTest::newRow("LCD 64x32 plain, header echoed")
            << 2 << false << "AB" << QList<QByteArray>{"(0001", "AB"} << 0 << "\r\n28 30 30 30 31 ";
    }
    // The header, then two digits a write, each one step of progress; the reply wait ends it.
    void pictureInTwoCharacterPieces()
    {
        QFETCH(int, type);
        QFETCH(bool, letter);
        QFETCH(QString, data);
        QFETCH(QList<QByteArray>, writes);
        QFETCH(int, displayData);
        rig->state.TypeCode = qint16(type);
        rig->screen.displayDataValue = displayData;
        const int pieces = int(writes.size()) - 1;
        answerTransfer(pieces);
        rig->link.TransferData(letter, "0001", data);
        QCOMPARE(port->writes, writes);
        QTEST(rig->screen.sent, "echo");
        QCOMPARE(rig->screen.displayDataValue, displayData);
        QCOMPARE(rig->shell.progressMaximum, pieces + 1);
        QList<int> progress(pieces + 2);
        std::iota(progress.begin(), progress.end(), 0);
        QCOMPARE(rig->shell.progressValues, progress);
        QVERIFY(!rig->shell.progressVisible);
        QCOMPARE(rig->state.ReplyCode, "79");
        QVERIFY(rig->state.ReadyReceived);
        QVERIFY(!rig->state.DataPhase);
        QVERIFY(rig->screen.currentAddress.isEmpty());
        QCOMPARE(rig->screen.status(), " Communication port COM1 is open.");
    }

    void stopBetweenPieces()
    {
        rig->state.TypeCode = 2;
        port->responder = [this](const QByteArray&) {
            if (port->writes.size() == 11) // the header and ten pieces
                rig->state.StopTransferFlag = true;
            return QByteArray();
        };
        rig->link.TransferData(false, "01", QString(512, u'A'));
        QCOMPARE(port->writes.size(), 11);
        QVERIFY(!rig->state.StopTransferFlag);
        QCOMPARE(rig->state.ReplyCode, "no reply"); // the reply wait still ran
        QCOMPARE(rig->shell.progressValues.last(), 11);
    }

    void cancelledBeforeStart()
    {
        rig->state.CancelFlag = true;
        rig->state.ReplyCode = "79";
        rig->link.TransferData(false, "01", QString(8, u'A'));
        QVERIFY(port->written.isEmpty());
        QCOMPARE(rig->state.ReplyCode, "79");
        QVERIFY(rig->shell.progressValues.isEmpty());
    }

    void closedPortEndsAtOnce()
    {
        rig->link.ClosePort();
        rig->link.TransferData(false, "01", QString(512, u'A'));
        QVERIFY(port->written.isEmpty());
        QCOMPARE(rig->state.ReplyCode, "no reply");
        QVERIFY(!rig->shell.progressVisible);
        QVERIFY(!rig->state.DataPhase);
        QCOMPARE(rig->screen.status(), " Communication port is not open.");
    }

    // Text goes under XON/XOFF in pieces of two characters; the last piece holds an odd trailing
    // character or nothing at all.
    void textPieces_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::newRow("odd length") << QByteArray("abcde") << QList<QByteArray>{"ab", "cd", "e"};
        QTest::newRow("even length ends empty")
            << QByteArray("abcd") << QList<QByteArray>{"ab", "cd", ""};
    }
    void textPieces()
    {
        QFETCH(QByteArray, text);
        QFETCH(QList<QByteArray>, pieces);
        port->responder = [&](const QByteArray&) {
            return port->writes.size() == pieces.size() ? QByteArray("y") : QByteArray();
        };
        rig->link.TransferText(text);
        QCOMPARE(port->writes, pieces);
        QCOMPARE(port->flowHistory, (QList<FlowControl>{FlowControl::XonXoff, FlowControl::None}));
        QCOMPARE(rig->shell.progressMaximum, int(pieces.size() + 1));
        QCOMPARE(rig->state.ReplyCode, "79");
    }

    // The batch attribute run: retries, the failure message, a blocked line, and a silent
    // controller with and without reply checking.
    void attributeRunRetries_data()
    {
        // Per write, in order; "" is silence, "blocked" a line that takes nothing from then on.
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("controllerCheck");
        QTest::addColumn<QString>("firstRow");
        QTest::addColumn<int>("downloaded");
        QTest::addColumn<QString>("failure"); // how the message names the first row's end
        const QString failed = "failed to download to address 0001.";
        QTest::newRow("6E five times then 79")
            << QStringList{"an", "an", "an", "an", "an", "ay", "ay"} << 1 << "SRSRSRSRSRSC" << 2
            << "";
        QTest::newRow("a sixth 6E ends the run")
            << QStringList(6, "an") << 1 << "SRSRSRSRSRSRF" << 0 << failed;
        QTest::newRow("silent controller, replies checked")
            << QStringList(6, "") << 1 << "SXSXSXSXSXSXF" << 0 << failed;
        QTest::newRow("silent controller, replies not checked: rows passed over")
            << QStringList(2, "") << 0 << "SX" << 0 << "";
        QTest::newRow("ready then silence is a failed attempt")
            << QStringList{"a", "ay", "ay"} << 1 << "SNSC" << 2 << "";
        // Sent again, the row would only queue behind a line that takes nothing.
        QTest::newRow("a blocked line ends the run at once")
            << QStringList{"blocked"} << 1 << "SF" << 0
            << "were not sent to address 0001: The line was blocked for 5 s; 0 of 21 characters "
               "sent.";
    }
    void attributeRunRetries()
    {
        QFETCH(QStringList, answers);
        QFETCH(int, controllerCheck);
        QFETCH(QString, failure);
        const bool failed = !failure.isEmpty();
        rig->state.ControllerCheckFlag = controllerCheck;
        const qsizetype writes = answers.size(); // each answer is used by one write
        port->responder = [&answers, this](const QByteArray& bytes) {
            if (!answers.isEmpty() && answers.first() == "blocked")
                port->queued += bytes.size();
            return answers.isEmpty() || port->queued > 0 ? QByteArray()
                                                         : answers.takeFirst().toLatin1();
        };
        RecordingRunView view;
        AttributeRun run(rig->link, view);
        run.DownloadRows(TwoRows);

        QCOMPARE(port->writes.size(), writes);
        QTEST(view.states.value(1), "firstRow");
        QTEST(run.downloadedCount(), "downloaded");
        // Rows after a failed one are not sent.
        QCOMPARE(view.states.contains(2), !failed);
        QCOMPARE(rig->shell.shown(),
                 failed ? QStringList{"Download Attributes Message: Error while downloading image "
                                      "attributes.\r\na.bmp attributes " +
                                      failure}
                        : QStringList());
        QCOMPARE(rig->state.CancelFlag, failed);
        QCOMPARE(rig->screen.currentAddress, QString());
    }
};

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
