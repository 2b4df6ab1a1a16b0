#include "ControllerLink.h"
#include "ControllerOperations.h"
#include "ControllerQuery.h"
#include "LinkFakes.h"
#include "PortCatalog.h"
#include "Transfer.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <memory>

// The controller query and the two transfers, through a scripted port: the exact bytes on the
// wire, the progress the operator sees, and the outcome left in the reply state.
class TestTransfer : public QObject
{
    Q_OBJECT

    std::unique_ptr<LinkRig> rig;
    ScriptedPort* port = nullptr;

    static QString digits(int count)
    {
        QString text;
        for (int i = 0; i < count; ++i)
            text += QString::number(i % 16, 16).toUpper();
        return text;
    }
    // Answers the header with 'a' and the last of `pieces` pieces with `final`.
    void answerTransfer(int pieces, QByteArray final = "y")
    {
        auto count = std::make_shared<int>(-1);
        port->responder = [count, pieces, final](const QByteArray&) {
            ++*count;
            if (*count == 0)
                return QByteArray("a");
            return *count == pieces ? final : QByteArray();
        };
    }
    QList<QByteArray> dataPieces() const { return port->writes.mid(1); }

private Q_SLOTS:
    void init()
    {
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
        QTest::addColumn<QString>("settingText");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("firmware");
        QTest::newRow("plain") << QByteArray("a2CTRLV1.05y") << 2 << "LCD 64x32"
                               << "CTRL"
                               << "1.05";
        QTest::newRow("spaces removed, V before X")
            << QByteArray("a7 BOX V2.1 y") << 7 << "All Switches"
            << "BOX"
            << "2.1";
        QTest::newRow("split at every R") << QByteArray("a1BOARDR2.1y") << 1 << "LCD 36x24"
                                          << "BOA"
                                          << "D";
        QTest::newRow("unknown code keeps box") << QByteArray("a9XYZV1.00y") << 9 << "old setting"
                                                << "XYZ"
                                                << "1.00";
        QTest::newRow("name containing V") << QByteArray("a3DEVV1.0y") << 3 << "OLED 64x48"
                                           << "DE"
                                           << "";
        QTest::newRow("no digit, no letter") << QByteArray("aXNAME1.0y") << 0 << "No Setting"
                                             << "old name"
                                             << "old version";
        QTest::newRow("control characters dropped")
            << QByteArray("a6\r\nUNITV3\xB0.2y") << 6 << "COLOR 96x64"
            << "UNIT"
            << "3.2";
    }
    void query()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, setting);
        QFETCH(QString, settingText);
        QFETCH(QString, name);
        QFETCH(QString, firmware);
        rig->screen.settingText = "old setting";
        rig->screen.controllerName = "old name";
        rig->screen.firmwareVersion = "old version";
        port->answer = reply;
        rig->link.QueryController();
        QCOMPARE(port->written, QByteArray("&RX"));
        QCOMPARE(rig->state.ControllerSetting, qint16(setting));
        QCOMPARE(rig->screen.settingText, settingText);
        QCOMPARE(rig->screen.controllerName, name);
        QCOMPARE(rig->screen.firmwareVersion, firmware);
        QCOMPARE(rig->shell.panels[4], QString("Command received"));
        QVERIFY(rig->state.RawReply.isEmpty());
    }

    void querySilentController()
    {
        rig->link.QueryController();
        QCOMPARE(rig->screen.controllerName, QString("No Reply"));
        QVERIFY(rig->screen.firmwareVersion.isEmpty());
        QVERIFY(rig->screen.settingText.isEmpty());
        QCOMPARE(rig->shell.panels[4], QString("No controller reply"));
        QCOMPARE(rig->state.ControllerInfo, QStringList{QString()});
        QCOMPARE(rig->state.ReplyCode, QString("no reply"));
    }

    // The query's receive threshold is ten bytes: a shorter answer never arrives as a reply, while
    // a long one that comes in pieces is taken whole.
    void queryThreshold_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("rest");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("setting");
        QTest::newRow("short answer is none")
            << QByteArray("an") << QByteArray() << "No controller reply"
            << "No Reply" << 3;
        QTest::newRow("long answer in two pieces")
            << QByteArray("a5GLINTSIMV1") << QByteArray(".00y") << "Command received"
            << "GLINTSIM" << 5;
    }
    void queryThreshold()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, rest);
        rig->state.ControllerSetting = 3;
        port->responder = [&](const QByteArray&) {
            if (!rest.isEmpty())
                QTimer::singleShot(2, port, [&] { port->feed(rest); });
            return first;
        };
        rig->link.QueryController();
        QTEST(rig->shell.panels[4], "panel");
        QTEST(rig->screen.controllerName, "name");
        QFETCH(int, setting);
        QCOMPARE(rig->state.ControllerSetting, qint16(setting));
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
        QCOMPARE(rig->screen.received, QString("61 79 "));
    }

    // At 9600 bit/s 300 characters take 312.5 ms to leave; the controller answers 50 ms after
    // that, which is inside the reply window only if the window opens once the line is clear.
    void replyWindowOpensAfterTheLine()
    {
        rig->link.ClosePort();
        rig->state.RequestedSpeed = 9600;
        QVERIFY(rig->link.OpenPort());
        QElapsedTimer sent;
        port->responder = [&](const QByteArray&) {
            sent.start();
            QTimer::singleShot(312 + 50, port, [this] { port->feed("ay"); });
            return QByteArray();
        };
        rig->link.SendHexCommand(QString(600, QLatin1Char('A')));
        QVERIFY(rig->link.WaitForReply());
        QCOMPARE(rig->state.ReplyCode, QString("79"));
    }

    void blockedLineIsReported()
    {
        rig->state.TypeCode = 3;
        // From the third piece on, nothing leaves: the count grows until the transfer stops
        // writing ahead and waits.
        port->responder = [this](const QByteArray& bytes) {
            if (port->writes.size() >= 4)
                port->queued += bytes.size();
            return port->writes.size() == 1 ? QByteArray("a") : QByteArray();
        };
        rig->link.TransferData(false, "0001", digits(100));
        QCOMPARE(rig->state.ReplyCode, QString("no reply"));
        QVERIFY(rig->link.lineBlocked().has_value());
        QCOMPARE(rig->screen.status(),
                 QString(" The line was blocked for 5 s; 4 of 100 characters sent."));
        QVERIFY(!rig->shell.progressVisible);
    }

    void headers_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("letter");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("LCD 64x32 plain") << 2 << false << "1A" << QByteArray("(1A");
        QTest::newRow("LCD 36x24 letter") << 1 << true << "01" << QByteArray("(Q01");
        QTest::newRow("LCD 64x32 letter") << 2 << true << "FF" << QByteArray("(RFF");
        QTest::newRow("OLED 64x48 letter") << 3 << true << "0001" << QByteArray("(S0001");
        QTest::newRow("OLED 52x36 letter") << 4 << true << "00A0" << QByteArray("(T00A0");
        QTest::newRow("MONO always U") << 5 << false << "1234" << QByteArray("(U1234");
        QTest::newRow("MONO with option") << 5 << true << "1234" << QByteArray("(U1234");
        QTest::newRow("COLOR letter") << 6 << true << "FFFF" << QByteArray("(VFFFF");
        QTest::newRow("COLOR plain") << 6 << false << "0002" << QByteArray("(0002");
    }
    void headers()
    {
        QFETCH(int, type);
        QFETCH(bool, letter);
        QFETCH(QString, address);
        QFETCH(QByteArray, header);
        QCOMPARE(TransferHeader(qint16(type), letter, address), header);
    }

    void pictureInTwoCharacterPieces()
    {
        rig->state.TypeCode = 2;
        answerTransfer(256);
        rig->link.TransferData(false, "1A", digits(512));
        QCOMPARE(port->writes.first(), QByteArray("(1A"));
        const QList<QByteArray> pieces = dataPieces();
        QCOMPARE(pieces.size(), 256);
        QCOMPARE(pieces.first(), QByteArray("01"));
        QCOMPARE(pieces.last(), QByteArray("EF"));
        QCOMPARE(rig->shell.progressMaximum, 257);
        QCOMPARE(rig->shell.progressValues.mid(0, 3), (QList<int>{0, 1, 2}));
        QCOMPARE(rig->shell.progressValues.last(), 257);
        QVERIFY(!rig->shell.progressVisible);
        QCOMPARE(rig->state.ReplyCode, QString("79"));
        QVERIFY(rig->state.ReadyReceived);
        QVERIFY(!rig->state.DataPhase);
        QVERIFY(rig->screen.currentAddress.isEmpty());
        QCOMPARE(rig->screen.status(), QString(" Communication port COM1 is open."));
    }

    void oddTrailingDigitNotSent()
    {
        rig->state.TypeCode = 3;
        answerTransfer(2);
        rig->link.TransferData(true, "0001", "ABCDE");
        QCOMPARE(port->writes, (QList<QByteArray>{"(S0001", "AB", "CD"}));
    }

    void echoFollowsDisplayData_data()
    {
        QTest::addColumn<int>("displayData");
        QTest::addColumn<QString>("echo");
        QTest::newRow("ticked: header as hex, pieces as they are") << 1 << "\r\n28 30 31 AB CD ";
        QTest::newRow("unticked: header only") << 0 << "\r\n28 30 31 ";
    }
    void echoFollowsDisplayData()
    {
        QFETCH(int, displayData);
        QFETCH(QString, echo);
        rig->state.TypeCode = 1;
        rig->screen.displayDataValue = displayData;
        answerTransfer(2);
        rig->link.TransferData(false, "01", "ABCD");
        QCOMPARE(rig->screen.sent, echo);
        QCOMPARE(rig->screen.displayDataValue, displayData);
    }

    void stopBetweenPieces()
    {
        rig->state.TypeCode = 2;
        int written = 0;
        port->responder = [&](const QByteArray&) {
            if (++written == 11) // the header and ten pieces
                rig->state.StopTransferFlag = true;
            return QByteArray();
        };
        rig->link.TransferData(false, "01", digits(512));
        QCOMPARE(dataPieces().size(), 10);
        QVERIFY(!rig->state.StopTransferFlag);
        QCOMPARE(rig->state.ReplyCode, QString("no reply")); // the reply wait still ran
        QCOMPARE(rig->shell.progressValues.last(), 11);
    }

    void cancelledBeforeStart()
    {
        rig->state.CancelFlag = true;
        rig->state.ReplyCode = "79";
        rig->link.TransferData(false, "01", digits(8));
        QVERIFY(port->written.isEmpty());
        QCOMPARE(rig->state.ReplyCode, QString("79"));
        QVERIFY(rig->shell.progressValues.isEmpty());
    }

    void closedPortEndsAtOnce()
    {
        rig->link.ClosePort();
        rig->link.TransferData(false, "01", digits(512));
        QVERIFY(port->written.isEmpty());
        QCOMPARE(rig->state.ReplyCode, QString("no reply"));
        QVERIFY(!rig->shell.progressVisible);
        QVERIFY(!rig->state.DataPhase);
        QCOMPARE(rig->screen.status(), QString(" Communication port is not open."));
    }

    void portLostMidTransfer()
    {
        int written = 0;
        port->responder = [&](const QByteArray&) {
            if (++written == 6)
                Q_EMIT port->failed({PortErrorClass::NoSuchPort, 1, "device removed"});
            return QByteArray();
        };
        rig->link.TransferData(false, "01", digits(512));
        QCOMPARE(dataPieces().size(), 5);
        QCOMPARE(rig->state.ReplyCode, QString("no reply"));
        QVERIFY(!rig->state.DataPhase);
        QVERIFY(!rig->shell.progressVisible);
    }

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
        port->responder = [&](const QByteArray& w) {
            return port->writes.size() == pieces.size() ? QByteArray("y") : QByteArray();
            Q_UNUSED(w);
        };
        rig->link.TransferText(text);
        QCOMPARE(port->writes, pieces);
        QCOMPARE(port->flowHistory, (QList<FlowControl>{FlowControl::XonXoff, FlowControl::None}));
        QCOMPARE(rig->shell.progressMaximum, int(pieces.size() + 1));
        QCOMPARE(rig->state.ReplyCode, QString("79"));
    }
};

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
