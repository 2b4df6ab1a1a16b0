#include "ControllerLink.h"
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

    std::unique_ptr<AppState> state;
    std::unique_ptr<PortCatalog> catalog;
    std::unique_ptr<RecordingShell> shell;
    std::unique_ptr<RecordingScreen> screen;
    std::unique_ptr<ControllerLink> link;

    // Ports 1..count; those listed in `missing` cannot be opened.
    void makePorts(int count, QList<int> missing = {})
    {
        for (int n = 1; n <= count; ++n) {
            catalog->addPort(QStringLiteral("/dev/fake%1").arg(n), QString(), [n, missing] {
                auto port = std::make_unique<ScriptedPort>();
                if (missing.contains(n))
                    port->openError = {PortErrorClass::NoSuchPort, 1, "No such file or directory"};
                return port;
            });
        }
    }
    ScriptedPort* port(int n) { return static_cast<ScriptedPort*>(catalog->port(n)); }
    void openOn(int n)
    {
        state->RequestedPort = qint16(n);
        link->setPortNumber(n);
        QVERIFY(link->OpenPort());
    }

private Q_SLOTS:
    void init()
    {
        state = std::make_unique<AppState>();
        catalog = std::make_unique<PortCatalog>();
        shell = std::make_unique<RecordingShell>();
        screen = std::make_unique<RecordingScreen>();
        link = std::make_unique<ControllerLink>(*state, *catalog, *shell);
        link->setActiveScreen(screen.get());
    }
    void cleanup()
    {
        link.reset();
        catalog.reset();
    }

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
        screen->displayDataValue = 0;
        link->SendHexCommand(typed);
        QCOMPARE(port(1)->writes, QList<QByteArray>{wire});
        QCOMPARE(screen->sent, "\r\n" + echo + "   ");
        QCOMPARE(screen->displayDataValue, 0); // forced on for the command only
        QCOMPARE(shell->panels[2], QString("Command Sent"));
        QCOMPARE(screen->status(), QString(" Communication port COM1 is open."));
        QCOMPARE(shell->beeps, 1);
        QVERIFY(!shell->busyCursor);
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
        state->BusyFlag = true;
        link->SendHexCommand(typed);
        QVERIFY(port(1)->written.isEmpty());
        QCOMPARE(shell->messages.size(), 1);
        QCOMPARE(shell->messages[0].text, QString("Hex input must be even number of nibbles."));
        QCOMPARE(shell->messages[0].title, QString("Manual Command Message"));
        QVERIFY(!state->BusyFlag);
        QVERIFY(screen->sent.isEmpty());
    }

    void cancelledCommandSendsNothing()
    {
        makePorts(1);
        openOn(1);
        state->CancelFlag = true;
        link->SendHexCommand("01");
        QVERIFY(port(1)->written.isEmpty());
        QCOMPARE(shell->panels[2], QString("Command Canceled"));
        QVERIFY(!state->CancelFlag);
    }

    void closedPortWritesNothing()
    {
        makePorts(1);
        link->setPortNumber(1);
        link->SendBytes("(");
        QVERIFY(port(1)->written.isEmpty());
        QCOMPARE(screen->status(), QString(" Communication port is not open."));
        QVERIFY(!link->WaitForReply());
        QCOMPARE(state->ReplyCode, QString("no reply"));
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
        link->ReceiveData(chunk);
        QCOMPARE(state->ReadyReceived, ready);
        QCOMPARE(state->ReplyCode, reply);
        QCOMPARE(state->ReceivedByteCount, chunk.size());
        QCOMPARE(screen->received, BytesToHexPairsForTest(chunk));
        QCOMPARE(state->ReplyLog, screen->received);
    }

    void repliesIgnoredWithoutControllerCheck()
    {
        state->ControllerCheckFlag = 0;
        link->ReceiveData("ay");
        QVERIFY(!state->ReadyReceived);
        QVERIFY(state->ReplyCode.isEmpty());
        QVERIFY(screen->received.isEmpty());
        QCOMPARE(state->ReceivedByteCount, 0);
    }

    void replyArrivingDuringWait()
    {
        makePorts(1);
        openOn(1);
        QTimer::singleShot(20, this, [this] { port(1)->feed("ay"); });
        QVERIFY(link->WaitForReply());
        QCOMPARE(state->ReplyCode, QString("79"));
        QVERIFY(state->ReadyReceived);
    }

    void cancelEndsWaitKeepingReply()
    {
        makePorts(1);
        openOn(1);
        state->ReplyCode = QString();
        QTimer::singleShot(10, this, [this] { link->requestCancel(); });
        QVERIFY(!link->WaitForReply());
        QVERIFY(state->ReplyCode.isEmpty());
    }

    void thresholdHoldsShortRepliesUntilQuiet()
    {
        makePorts(1);
        openOn(1);
        link->setReceiveThreshold(10);
        port(1)->feed("a5");
        QVERIFY(state->RawReply.isEmpty()); // held back: fewer than 10 bytes so far
        port(1)->feed("Xy");
        QTRY_COMPARE(state->RawReply, QByteArray("a5Xy"));
        QCOMPARE(screen->received, QString("61 35 58 79 ")); // one chunk, one line
        QVERIFY(state->ReadyReceived);
    }

    void enumerationListsOpenablePorts()
    {
        QList<int> missing;
        for (int n = 1; n <= 9; ++n) {
            if (n != 3 && n != 7)
                missing << n;
        }
        makePorts(9, missing);
        QVERIFY(link->EnumeratePorts());
        QCOMPARE(state->PortList, (QStringList{"", "3", "7"}));
        QVERIFY(!port(3)->isOpen());
        QCOMPARE(link->portNumber(), 3);
    }

    void enumerationFailsWithoutPorts()
    {
        makePorts(2, {1, 2});
        QVERIFY(!link->EnumeratePorts());
    }

    void catalogStopsAtSixteen()
    {
        makePorts(16);
        QCOMPARE(catalog->addDevice("/dev/extra"), 0);
        QVERIFY(link->EnumeratePorts());
        QCOMPARE(state->PortList.size(), 17);
    }

    void reopeningSamePortSaysAlreadyOpen()
    {
        makePorts(3);
        openOn(3);
        screen->statusHistory.clear();
        state->RequestedSpeed = 115200;
        QVERIFY(link->OpenPort());
        QCOMPARE(screen->statusHistory, (QStringList{" Communication port COM3 is already open.",
                                                     " Communication port COM3 is open."}));
        QCOMPARE(port(3)->baudRate, 115200);
    }

    void missingPortFallsBackOnce()
    {
        makePorts(3, {2});
        openOn(1);
        state->RequestedPort = 2;
        QVERIFY(!link->OpenPort());
        QCOMPARE(shell->messages.size(), 1);
        QCOMPARE(shell->messages[0].title, QString("Downloads"));
        QCOMPARE(shell->messages[0].text, QString("An error occured while opening COM port: 2\r\n"
                                                  "Error: No such file or directory Number: 1"));
        QCOMPARE(screen->portChoice, 1);
        QCOMPARE(state->RequestedPort, qint16(1));
        QVERIFY(port(1)->isOpen());
        QCOMPARE(screen->status(), QString(" Communication port COM1 is open."));
        QCOMPARE(shell->programEnds, 0);

        // The fall-back succeeded, so a later failure is again the first one.
        state->RequestedPort = 2;
        link->OpenPort();
        QCOMPARE(shell->programEnds, 0);
    }

    void secondConsecutiveFailureEndsProgram()
    {
        makePorts(2, {1, 2});
        state->RequestedPort = 2; // the previous port (none yet) cannot be opened either
        link->OpenPort();
        QCOMPARE(shell->programEnds, 1);
        QCOMPARE(shell->messages.last().text, QString("Closing program."));
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
        state->RequestedPort = 1;
        QVERIFY(!link->OpenPort());
        QCOMPARE(shell->messages.size(), 1);
        QCOMPARE(shell->messages[0].text, text);
        QCOMPARE(int(shell->messages[0].icon), icon);
        QCOMPARE(shell->programEnds, 1);
    }

    void closeReportsState()
    {
        makePorts(1);
        openOn(1);
        link->ClosePort();
        QCOMPARE(screen->status(), QString(" Communication port COM1 is closed."));
        link->ClosePort();
        QCOMPARE(screen->status(), QString(" Communication port COM1 is not open."));
    }

    void lostPortClosesAndEndsWaits()
    {
        makePorts(1);
        openOn(1);
        QSignalSpy lost(link.get(), &ControllerLink::portLost);
        QTimer::singleShot(10, this, [this] {
            Q_EMIT port(1)->failed({PortErrorClass::NoSuchPort, 1, "device removed"});
        });
        QVERIFY(!link->WaitForReply());
        QCOMPARE(lost.size(), 1);
        QVERIFY(!link->isPortOpen());
        QCOMPARE(screen->status(), QString(" Communication port COM1 was lost: device removed"));
    }

private:
    static QString BytesToHexPairsForTest(const QByteArray& bytes)
    {
        QString s;
        for (char c : bytes)
            s += QString::asprintf("%02X ", uint(quint8(c)));
        return s;
    }
};

QTEST_GUILESS_MAIN(TestControllerLink)
#include "tst_controllerlink.moc"
