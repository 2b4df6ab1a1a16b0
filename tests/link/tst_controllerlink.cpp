#include "ControllerLink.h"
#include "LineAccount.h"
#include "LinkFakes.h"
#include "PortCatalog.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

// The link's own decisions, driven through a scripted port: what goes on the wire, what the
// operator reads, and what state a failure leaves behind.
class TestControllerLink : public QObject
{
    Q_OBJECT

    std::unique_ptr<LinkRig> rig;

    // Ports 1..count; those listed in `missing` cannot be opened.
    void makePorts(int count, QList<int> missing = {})
    {
        for (int n = 1; n <= count; ++n) {
            rig->catalog.addPort(QStringLiteral("/dev/fake%1").arg(n), QString(), [n, missing] {
                auto port = std::make_unique<ScriptedPort>();
                if (missing.contains(n))
                    port->openError = {PortErrorClass::NoSuchPort, 1, "No such file or directory"};
                return port;
            });
        }
    }
    ScriptedPort* port(int n) { return static_cast<ScriptedPort*>(rig->catalog.port(n)); }
    void openOn(int n)
    {
        rig->state.RequestedPort = qint16(n);
        rig->link.setPortNumber(n);
        QVERIFY(rig->link.OpenPort());
    }

private Q_SLOTS:
    void init() { rig = std::make_unique<LinkRig>(); }
    void cleanup() { rig.reset(); }

    void manualCommand_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QString>("echo");
        QTest::newRow("hex with spaces") << "26 52 58" << QByteArray("\x26\x52\x58") << "26 52 58 ";
        QTest::newRow("hex run") << "265258" << QByteArray("\x26\x52\x58") << "26 52 58 ";
        QTest::newRow("tab and line break dropped")
            << "26\t52\r\n58" << QByteArray("\x26\x52\x58") << "26 52 58 ";
        QTest::newRow("single digit is text") << "5" << QByteArray("5") << "35 ";
        QTest::newRow("word sent as typed") << "HELLO" << QByteArray("HELLO") << "48 45 4C 4C 4F ";
        QTest::newRow("word minus spaces")
            << "HI THERE" << QByteArray("HITHERE") << "48 49 54 48 45 52 45 ";
    }
    void manualCommand()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, wire);
        QFETCH(QString, echo);
        makePorts(1);
        openOn(1);
        rig->screen.displayDataValue = 0;
        rig->link.SendHexCommand(typed);
        QCOMPARE(port(1)->writes, QList<QByteArray>{wire});
        QCOMPARE(rig->screen.sent, "\r\n" + echo + "   ");
        QCOMPARE(rig->screen.displayDataValue, 0); // forced on for the command only
        QCOMPARE(rig->shell.panels[2], QString("Command Sent"));
        QCOMPARE(rig->screen.status(), QString(" Communication port COM1 is open."));
        QCOMPARE(rig->shell.beeps, 1);
        QVERIFY(!rig->shell.busyCursor);
    }

    void oddHexIsRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("single letter") << "A";
        QTest::newRow("three digits") << "1 2A";
    }
    void oddHexIsRefused()
    {
        QFETCH(QString, typed);
        makePorts(1);
        openOn(1);
        rig->state.BusyFlag = true;
        rig->link.SendHexCommand(typed);
        QVERIFY(port(1)->written.isEmpty());
        QCOMPARE(rig->shell.messages.size(), 1);
        QCOMPARE(rig->shell.messages[0].text, QString("Hex input must be even number of nibbles."));
        QCOMPARE(rig->shell.messages[0].title, QString("Manual Command Message"));
        QVERIFY(!rig->state.BusyFlag);
        QVERIFY(rig->screen.sent.isEmpty());
    }

    void cancelledCommandSendsNothing()
    {
        makePorts(1);
        openOn(1);
        rig->state.CancelFlag = true;
        rig->link.SendHexCommand("01");
        QVERIFY(port(1)->written.isEmpty());
        QCOMPARE(rig->shell.panels[2], QString("Command Canceled"));
        QVERIFY(!rig->state.CancelFlag);
    }

    void closedPortWritesNothing()
    {
        makePorts(1);
        rig->link.setPortNumber(1);
        rig->link.SendBytes("(");
        QVERIFY(port(1)->written.isEmpty());
        QCOMPARE(rig->screen.status(), QString(" Communication port is not open."));
        QVERIFY(!rig->link.WaitForReply());
        QCOMPARE(rig->state.ReplyCode, QString("no reply"));
    }

    void receivedChunks_data()
    {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<bool>("ready");
        QTest::addColumn<QString>("reply");
        QTest::newRow("ready then done") << QByteArray("a3y") << true << "79";
        QTest::newRow("a inside is not ready") << QByteArray("xay") << false << "79";
        QTest::newRow("later n wins") << QByteArray("aynq") << true << "6E";
        QTest::newRow("no reply letter") << QByteArray("a12") << true << "";
    }
    void receivedChunks()
    {
        QFETCH(QByteArray, chunk);
        QFETCH(bool, ready);
        QFETCH(QString, reply);
        rig->link.ReceiveData(chunk);
        QCOMPARE(rig->state.ReadyReceived, ready);
        QCOMPARE(rig->state.ReplyCode, reply);
        QCOMPARE(rig->state.ReceivedByteCount, chunk.size());
        QCOMPARE(rig->screen.received, BytesToHexPairsForTest(chunk));
        QCOMPARE(rig->state.ReplyLog, rig->screen.received);
    }

    void repliesIgnoredWithoutControllerCheck()
    {
        rig->state.ControllerCheckFlag = 0;
        rig->link.ReceiveData("ay");
        QVERIFY(!rig->state.ReadyReceived);
        QVERIFY(rig->state.ReplyCode.isEmpty());
        QVERIFY(rig->screen.received.isEmpty());
        QCOMPARE(rig->state.ReceivedByteCount, 0);
    }

    void replyArrivingDuringWait()
    {
        makePorts(1);
        openOn(1);
        QTimer::singleShot(20, this, [this] { port(1)->feed("ay"); });
        QVERIFY(rig->link.WaitForReply());
        QCOMPARE(rig->state.ReplyCode, QString("79"));
        QVERIFY(rig->state.ReadyReceived);
    }

    void cancelEndsWaitKeepingReply()
    {
        makePorts(1);
        openOn(1);
        rig->state.ReplyCode = QString();
        QTimer::singleShot(10, this, [this] { rig->link.requestCancel(); });
        QVERIFY(!rig->link.WaitForReply());
        QVERIFY(rig->state.ReplyCode.isEmpty());
    }

    void thresholdHoldsShortRepliesUntilQuiet()
    {
        makePorts(1);
        openOn(1);
        rig->link.setReceiveThreshold(10);
        port(1)->feed("a5");
        QVERIFY(rig->state.RawReply.isEmpty()); // held back: fewer than 10 bytes so far
        port(1)->feed("Xy");
        QTRY_COMPARE(rig->state.RawReply, QByteArray("a5Xy"));
        QCOMPARE(rig->screen.received, QString("61 35 58 79 ")); // one chunk, one line
        QVERIFY(rig->state.ReadyReceived);
    }

    void enumerationListsOpenablePorts()
    {
        QList<int> missing;
        for (int n = 1; n <= 9; ++n) {
            if (n != 3 && n != 7)
                missing << n;
        }
        makePorts(9, missing);
        QVERIFY(rig->link.EnumeratePorts());
        QCOMPARE(rig->state.PortList, (QStringList{"", "3", "7"}));
        QVERIFY(!port(3)->isOpen());
        QCOMPARE(rig->link.portNumber(), 3);
    }

    void enumerationFailsWithoutPorts()
    {
        makePorts(2, {1, 2});
        QVERIFY(!rig->link.EnumeratePorts());
    }

    void catalogStopsAtSixteen()
    {
        makePorts(16);
        QCOMPARE(rig->catalog.addDevice("/dev/extra"), 0);
        QVERIFY(rig->link.EnumeratePorts());
        QCOMPARE(rig->state.PortList.size(), 17);
    }

    void reopeningSamePortSaysAlreadyOpen()
    {
        makePorts(3);
        openOn(3);
        rig->screen.statusHistory.clear();
        rig->state.RequestedSpeed = 115200;
        QVERIFY(rig->link.OpenPort());
        QCOMPARE(rig->screen.statusHistory,
                 (QStringList{" Communication port COM3 is already open.",
                              " Communication port COM3 is open."}));
        QCOMPARE(port(3)->baudRate, 115200);
    }

    void missingPortFallsBackOnce()
    {
        makePorts(3, {2});
        openOn(1);
        rig->state.RequestedPort = 2;
        QVERIFY(!rig->link.OpenPort());
        QCOMPARE(rig->shell.messages.size(), 1);
        QCOMPARE(rig->shell.messages[0].title, QString("Downloads"));
        QCOMPARE(rig->shell.messages[0].text,
                 QString("An error occured while opening COM port: 2\r\n"
                         "Error: No such file or directory Number: 1"));
        QCOMPARE(rig->screen.portChoice, 1);
        QCOMPARE(rig->state.RequestedPort, qint16(1));
        QVERIFY(port(1)->isOpen());
        QCOMPARE(rig->screen.status(), QString(" Communication port COM1 is open."));
        QCOMPARE(rig->shell.programEnds, 0);

        // The fall-back succeeded, so a later failure is again the first one.
        rig->state.RequestedPort = 2;
        rig->link.OpenPort();
        QCOMPARE(rig->shell.programEnds, 0);
    }

    void secondConsecutiveFailureEndsProgram()
    {
        makePorts(2, {1, 2});
        rig->state.RequestedPort = 2; // the previous port (none yet) cannot be opened either
        rig->link.OpenPort();
        QCOMPARE(rig->shell.programEnds, 1);
        QCOMPARE(rig->shell.messages.last().text, QString("Closing program."));
    }

    void fatalOpenErrors_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::newRow("in use") << int(PortErrorClass::InUse)
                                << "Communication port COM1 is exclusively accessed by another "
                                   "application.\r\nClosing program."
                                << int(MessageIcon::Information);
        QTest::newRow("settings refused")
            << int(PortErrorClass::SettingsRefused)
            << "An error occured while opening COM port: 1\r\nError: bad Number: 9\r\n"
               "Closing program."
            << int(MessageIcon::Exclamation);
        QTest::newRow("other") << int(PortErrorClass::Other)
                               << "An error occured while opening COM port: 1\r\nError: bad "
                                  "Number: 9\r\nClosing program."
                               << int(MessageIcon::Exclamation);
    }
    void fatalOpenErrors()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(int, icon);
        makePorts(1);
        port(1)->openError = {PortErrorClass(kind), 9, "bad"};
        rig->state.RequestedPort = 1;
        QVERIFY(!rig->link.OpenPort());
        QCOMPARE(rig->shell.messages.size(), 1);
        QCOMPARE(rig->shell.messages[0].text, text);
        QCOMPARE(int(rig->shell.messages[0].icon), icon);
        QCOMPARE(rig->shell.programEnds, 1);
    }

    void closeReportsState()
    {
        makePorts(1);
        openOn(1);
        rig->link.ClosePort();
        QCOMPARE(rig->screen.status(), QString(" Communication port COM1 is closed."));
        rig->link.ClosePort();
        QCOMPARE(rig->screen.status(), QString(" Communication port COM1 is not open."));
    }

    void lostPortClosesAndEndsWaits()
    {
        makePorts(1);
        openOn(1);
        QSignalSpy lost(&rig->link, &ControllerLink::portLost);
        QTimer::singleShot(10, this, [this] {
            Q_EMIT port(1)->failed({PortErrorClass::NoSuchPort, 1, "device removed"});
        });
        QVERIFY(!rig->link.WaitForReply());
        QCOMPARE(lost.size(), 1);
        QVERIFY(!rig->link.isPortOpen());
        QCOMPARE(rig->screen.status(),
                 QString(" Communication port COM1 was lost: device removed"));
    }

private:
    static QString BytesToHexPairsForTest(const QByteArray& bytes)
    {
        QString s;
        for (char c : bytes)
            s += QString::asprintf("%02X ", uint(quint8(c)));
        return s;
    }

    // Each character takes ten bit times and starts after the later of its write and the end of
    // the character before it.
    void lineAccount_data()
    {
        QTest::addColumn<qint32>("speed");
        QTest::addColumn<QList<qint64>>("writes"); // pairs: time written (ns), characters
        QTest::addColumn<qint64>("lineFree");
        QTest::newRow("idle line starts at the write")
            << 9600 << QList<qint64>{1000, 3} << qint64(1000 + 3 * 1041666);
        QTest::newRow("busy line queues behind")
            << 115200 << QList<qint64>{0, 2, 100, 2} << qint64(4 * 86805);
        QTest::newRow("write after an idle gap starts afresh")
            << 57600 << QList<qint64>{0, 1, 10'000'000, 1} << qint64(10'000'000 + 173611);
        QTest::newRow("unknown speed claims nothing") << 0 << QList<qint64>{5, 100} << qint64(5);
    }
    void lineAccount()
    {
        QFETCH(qint32, speed);
        QFETCH(QList<qint64>, writes);
        LineAccount account;
        account.setSpeed(speed);
        for (qsizetype i = 0; i + 1 < writes.size(); i += 2)
            account.wrote(writes[i + 1], writes[i]);
        QTEST(account.lineFreeNs(), "lineFree");
        QCOMPARE(account.backlogNs(account.lineFreeNs() + 1), qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestControllerLink)
#include "tst_controllerlink.moc"
