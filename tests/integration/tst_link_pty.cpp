#include "ControllerLink.h"
#include "Decoders.h"
#include "LinkFakes.h"
#include "PortCatalog.h"
#include "PtyServer.h"
#include "VirtualController.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

// The real link through QSerialPort over a pseudo-terminal, against the virtual controller.
class TestLinkOverPty : public QObject
{
    Q_OBJECT

    std::unique_ptr<VirtualController> controller;
    std::unique_ptr<PtyServer> server;
    std::unique_ptr<LinkRig> rig;

    static QString randomHex(int bytes)
    {
        QByteArray data(bytes, '\0');
        for (char& byte : data)
            byte = char(QRandomGenerator::global()->bounded(256));
        return QString::fromLatin1(data.toHex().toUpper());
    }

private Q_SLOTS:
    void init()
    {
        controller = std::make_unique<VirtualController>();
        server = std::make_unique<PtyServer>(*controller);
        QVERIFY2(server->start(), qPrintable(server->errorString()));
        rig = std::make_unique<LinkRig>();
        rig->catalog.addDevice(server->devicePath());
        QVERIFY(rig->link.EnumeratePorts());
        rig->state.RequestedPort = 1;
        QVERIFY(rig->link.OpenPort());
    }
    void cleanup()
    {
        rig.reset();
        server.reset();
        controller.reset();
    }

    void commandRoundTrip()
    {
        rig->link.SendHexCommand("01");
        QVERIFY(rig->link.WaitForReply());
        QCOMPARE(rig->state.ReplyCode, QString("79"));
        QVERIFY(rig->state.ReadyReceived);
        QCOMPARE(rig->screen.sent, QString("\r\n01    "));
        QCOMPARE(rig->screen.received.remove(' '), QString("6179"));
        QCOMPARE(controller->counters().calls, 1);
    }

    void silentControllerGivesNoReply()
    {
        controller->setMisbehaviour(Misbehaviour::Silent);
        rig->link.SendHexCommand("01");
        QVERIFY(!rig->link.WaitForReply());
        QCOMPARE(rig->state.ReplyCode, QString("no reply"));
        QVERIFY(rig->screen.received.isEmpty());
    }

    void lateAnswerMissesWindow()
    {
        controller->setMisbehaviour(Misbehaviour::Late);
        rig->link.SendHexCommand("01");
        QVERIFY(!rig->link.WaitForReply());
        QCOMPARE(rig->state.ReplyCode, QString("no reply"));
        QTRY_VERIFY(!rig->screen.received.isEmpty()); // it does come, only too late
    }

    void cancelEndsWait()
    {
        controller->setMisbehaviour(Misbehaviour::Silent);
        rig->link.SendHexCommand("01");
        QTimer::singleShot(10, &rig->link, &ControllerLink::requestCancel);
        QVERIFY(!rig->link.WaitForReply());
        QVERIFY(rig->state.ReplyCode.isEmpty());
    }

    void queryOverTheLine()
    {
        controller->setIdentity({'4', "PANEL", 'V', "2.07"});
        rig->link.QueryController();
        QCOMPARE(rig->state.ControllerSetting, qint16(4));
        QCOMPARE(rig->screen.settingText, QString("OLED 52x36"));
        QCOMPARE(rig->screen.controllerName, QString("PANEL"));
        QCOMPARE(rig->screen.firmwareVersion, QString("2.07"));
        QCOMPARE(rig->shell.panels[4], QString("Command received"));
    }

    void portVanishesWhileOpen()
    {
        QSignalSpy lost(&rig->link, &ControllerLink::portLost);
        controller->setMisbehaviour(Misbehaviour::Silent);
        rig->link.SendHexCommand("01");
        QTimer::singleShot(10, server.get(), &PtyServer::vanish);
        rig->link.WaitForReply();
        QTRY_COMPARE(lost.size(), 1);
        QVERIFY(!rig->link.isPortOpen());
        QVERIFY(rig->screen.status().startsWith(" Communication port COM1 was lost: "));
        rig->link.SendBytes("01");
        QCOMPARE(rig->screen.status(), QString(" Communication port is not open."));
    }

    void pictureReachesController_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("identifier");
        QTest::addColumn<QString>("address");
        for (int type = 1; type <= 6; ++type) {
            const QString address = type <= 2 ? "2A" : "1B2C";
            for (bool identifier : {false, true}) {
                QTest::addRow("type %d %s", type, identifier ? "with letter" : "plain")
                    << type << identifier << address;
            }
        }
    }
    void pictureReachesController()
    {
        QFETCH(int, type);
        QFETCH(bool, identifier);
        QFETCH(QString, address);
        // Without the letter the controller reads the block as the type it is set to.
        controller->setIdentity({char('0' + type), "GLINTSIM", 'V', "1.00"});
        rig->state.TypeCode = qint16(type);
        const QString hex = randomHex(PayloadBytes(qint16(type)));
        rig->link.TransferData(identifier, address, hex);
        QCOMPARE(rig->state.ReplyCode, QString("79"));
        QVERIFY(rig->state.ReadyReceived);
        const auto stored = controller->picture(quint16(address.toUInt(nullptr, 16)), qint16(type));
        QVERIFY(stored.has_value());
        QCOMPARE(QString::fromLatin1(stored->payload.toHex().toUpper()), hex);
    }

    void missingReadyByteStillSendsData()
    {
        controller->setMisbehaviour(Misbehaviour::NoReady);
        controller->setIdentity({'2', "GLINTSIM", 'V', "1.00"});
        rig->state.TypeCode = 2;
        const QString hex = randomHex(256);
        rig->link.TransferData(false, "07", hex);
        QVERIFY(!rig->state.ReadyReceived);
        QCOMPARE(rig->state.ReplyCode, QString("79"));
        QCOMPARE(controller->picture(7, 2)->payload.toHex().toUpper(), hex.toLatin1());
    }

    void refusingControllerAnswersN()
    {
        controller->setMisbehaviour(Misbehaviour::RefuseAll);
        rig->state.TypeCode = 6;
        rig->link.TransferData(true, "0001", randomHex(PayloadBytes(6)));
        QCOMPARE(rig->state.ReplyCode, QString("6E"));
        QVERIFY(!controller->picture(1, 6).has_value());
    }

    void portVanishesMidTransfer()
    {
        rig->state.TypeCode = 6;
        // The first pieces are through by the time the device disappears.
        connect(controller.get(), &VirtualController::activity, server.get(),
                [this] { QTimer::singleShot(30, server.get(), &PtyServer::vanish); });
        QTimer::singleShot(30, server.get(), &PtyServer::vanish);
        rig->link.TransferData(true, "0001", randomHex(PayloadBytes(6)));
        QCOMPARE(rig->state.ReplyCode, QString("no reply"));
        QVERIFY(!rig->state.DataPhase);
        QVERIFY(!rig->shell.progressVisible);
        QVERIFY(!rig->link.isPortOpen());
        QVERIFY(rig->shell.progressValues.last() < PayloadBytes(6) + 1);
    }

    void textStreamingPausesOnXoff()
    {
        controller->setTextInput(64, 4000);
        QByteArray text;
        for (int i = 0; i < 600; ++i)
            text += char('A' + i % 26);
        rig->link.TransferText(text);
        QCOMPARE(controller->rawText(), text);
        QVERIFY(controller->counters().xoffSent > 0);
        QCOMPARE(controller->counters().textCharsLost, 0);
    }
};

QTEST_GUILESS_MAIN(TestLinkOverPty)
#include "tst_link_pty.moc"
