#include "ControllerLink.h"
#include "Conversions.h"
#include "HexField.h"
#include "LinkFakes.h"
#include "PortCatalog.h"
#include "SwitchCommands.h"

#include <QTest>

#include <memory>

namespace {

struct Reception
{
    QByteArray chunk;
    bool checked; // the screen's "controller" box
    QString reply;
    bool ready;
    QString log; // the traffic log and the reply log
};

struct OpenFailure
{
    PortErrorClass kind;
    bool fallsBack; // another port is open to fall back to
    QStringList messages;
    MessageIcon icon;
};

} // namespace

// The link's own decisions, driven through a scripted port: what goes on the wire, what the
// operator reads, and what state a failure leaves behind; and the texts it builds and checks:
// conversions, input fields, type questions.
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
        QTest::newRow("lower-case hex") << "1a2b" << QByteArray("\x1a\x2b") << "1A 2B ";
        QTest::newRow("single digit is text") << "5" << QByteArray("5") << "35 ";
        QTest::newRow("letter beyond F") << "1G" << QByteArray("1G") << "31 47 ";
        QTest::newRow("punctuation just below A") << "1@" << QByteArray("1@") << "31 40 ";
        QTest::newRow("colon just above 9") << "1:" << QByteArray("1:") << "31 3A ";
        QTest::newRow("word minus spaces")
            << "HI THERE" << QByteArray("HITHERE") << "48 49 54 48 45 52 45 ";
    }
    // One write, echoed even with "display data" cleared, which the command leaves as it found it.
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
        QCOMPARE(rig->screen.displayDataValue, 0);
        QCOMPARE(rig->shell.panels[2], "Command Sent");
        QCOMPARE(rig->screen.status(), " Communication port COM1 is open.");
        QCOMPARE(rig->shell.beeps, 1);
        QVERIFY(!rig->shell.busyCursor);
    }

    void commandNotSent_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("cancelled");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QStringList>("shown");
        const QStringList oddHex{
            "Manual Command Message: Hex input must be even number of nibbles."};
        QTest::newRow("single letter") << "A" << false << "Sending Command" << oddHex;
        QTest::newRow("three digits") << "1 2A" << false << "Sending Command" << oddHex;
        QTest::newRow("cancelled") << "01" << true << "Command Canceled" << QStringList();
    }
    void commandNotSent()
    {
        QFETCH(QString, typed);
        QFETCH(bool, cancelled);
        makePorts(1);
        openOn(1);
        rig->state.BusyFlag = true;
        rig->state.CancelFlag = cancelled;
        rig->link.SendHexCommand(typed);
        QVERIFY(port(1)->written.isEmpty());
        QVERIFY(rig->screen.sent.isEmpty());
        QTEST(rig->shell.panels[2], "panel");
        QTEST(rig->shell.shown(), "shown");
        QVERIFY(!rig->state.BusyFlag);
        QVERIFY(!rig->state.CancelFlag);
        QVERIFY(!rig->shell.busyCursor);
    }

    void receivedChunks_data()
    {
        QTest::addColumn<Reception>("r");
        QTest::newRow("ready then done") << Reception{"a3y", true, "79", true, "61 33 79 "};
        QTest::newRow("a inside is not ready") << Reception{"xay", true, "79", false, "78 61 79 "};
        QTest::newRow("later n wins") << Reception{"aynq", true, "6E", true, "61 79 6E 71 "};
        QTest::newRow("no reply letter") << Reception{"a12", true, "", true, "61 31 32 "};
        QTest::newRow("replies not checked") << Reception{"ay", false, "", false, ""};
    }
    void receivedChunks()
    {
        QFETCH(Reception, r);
        rig->state.ControllerCheckFlag = r.checked ? 1 : 0;
        rig->link.ReceiveData(r.chunk);
        QCOMPARE(rig->state.ReadyReceived, r.ready);
        QCOMPARE(rig->state.ReplyCode, r.reply);
        QCOMPARE(rig->screen.received, r.log);
        QCOMPARE(rig->state.ReplyLog, r.log);
        QCOMPARE(rig->state.ReceivedByteCount, r.log.size() / 3);
    }

    void thresholdHoldsShortRepliesUntilQuiet()
    {
        makePorts(1);
        openOn(1);
        rig->link.setReceiveThreshold(10);
        port(1)->feed("a5");
        QVERIFY(rig->state.RawReply.isEmpty()); // fewer than 10 bytes so far
        port(1)->feed("Xy");
        QTRY_COMPARE(rig->state.RawReply, QByteArray("a5Xy"));
        QCOMPARE(rig->screen.received, "61 35 58 79 "); // one chunk, one line
        QVERIFY(rig->state.ReadyReceived);
    }

    void enumeration_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("missing");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("only 3 and 7 open")
            << 9 << QList<int>{1, 2, 4, 5, 6, 8, 9} << QStringList{"", "3", "7"};
        QTest::newRow("none opens") << 2 << QList<int>{1, 2} << QStringList{"", ""};
        QStringList sixteen{""};
        for (int n = 1; n <= 16; ++n)
            sixteen << QString::number(n);
        QTest::newRow("never above 16") << 17 << QList<int>{} << sixteen;
    }
    // The first port listed becomes the link's; every port tried is closed again.
    void enumeration()
    {
        QFETCH(int, count);
        QFETCH(QList<int>, missing);
        QFETCH(QStringList, listed);
        makePorts(count, missing);
        QCOMPARE(rig->link.EnumeratePorts(), listed.size() > 2);
        QCOMPARE(rig->state.PortList, listed);
        QCOMPARE(rig->catalog.entries().size(), qMin(count, 16));
        for (int n = 1; n <= qMin(count, 16); ++n)
            QVERIFY(!port(n)->isOpen());
        QCOMPARE(rig->link.portNumber(), listed.value(1).toInt());
    }

    // Choosing the open port again says so and applies the settings again.
    void statusTexts()
    {
        makePorts(3);
        openOn(3);
        rig->state.RequestedSpeed = 115200;
        QVERIFY(rig->link.OpenPort());
        QCOMPARE(port(3)->baudRate, 115200);
        rig->link.ClosePort();
        rig->link.ClosePort();
        const QString com3 = QStringLiteral(" Communication port COM3 is %1.");
        QCOMPARE(rig->screen.statusHistory,
                 (QStringList{com3.arg("open"), com3.arg("already open"), com3.arg("open"),
                              com3.arg("closed"), com3.arg("not open")}));
    }

    void openFailures_data()
    {
        QTest::addColumn<OpenFailure>("f");
        const QString detail = "An error occured while opening COM port: 2\r\nError: bad Number: 9";
        const QString closing = "\r\nClosing program.";
        QTest::newRow("missing, back to the open port")
            << OpenFailure{PortErrorClass::NoSuchPort, true, {detail}, MessageIcon::Exclamation};
        // The fall-back to the port open before (none) fails too: the second failure in a row.
        QTest::newRow("missing, nothing to fall back to") << OpenFailure{
            PortErrorClass::NoSuchPort,
            false,
            {detail,
             "An error occured while opening COM port: 0\r\nError: The port does not exist. "
             "Number: 0",
             "Closing program."},
            MessageIcon::Exclamation};
        QTest::newRow("in use") << OpenFailure{
            PortErrorClass::InUse,
            true,
            {"Communication port COM2 is exclusively accessed by another application." + closing},
            MessageIcon::Information};
        QTest::newRow("settings refused") << OpenFailure{
            PortErrorClass::SettingsRefused, true, {detail + closing}, MessageIcon::Exclamation};
    }
    // Only a missing port falls back to the one that was open, once (a success in between restarts
    // the count); every other failure ends the program.
    void openFailures()
    {
        QFETCH(OpenFailure, f);
        makePorts(2);
        port(2)->openError = {f.kind, 9, "bad"};
        if (f.fallsBack)
            openOn(1);
        rig->state.RequestedPort = 2;
        QVERIFY(!rig->link.OpenPort());
        QCOMPARE(rig->shell.messageTexts(), f.messages);
        QCOMPARE(std::pair(rig->shell.messages[0].title, rig->shell.messages[0].icon),
                 std::pair(QString("Downloads"), f.icon));
        const bool recovers = f.fallsBack && f.kind == PortErrorClass::NoSuchPort;
        QCOMPARE(rig->shell.programEnds, recovers ? 0 : 1);
        if (!recovers)
            return;
        QCOMPARE(rig->screen.portChoice, 1);
        QCOMPARE(rig->state.RequestedPort, qint16(1));
        QVERIFY(port(1)->isOpen());
        QCOMPARE(rig->screen.status(), " Communication port COM1 is open.");
        rig->state.RequestedPort = 2;
        QVERIFY(!rig->link.OpenPort());
        QCOMPARE(rig->shell.programEnds, 0);
    }

    void conversions()
    {
        QCOMPARE(HexToBytes("414"), QByteArray("A\x04"));   // an odd last digit stands alone
        QCOMPARE(HexToBytes("ZZ41"), QByteArray("\0A", 2)); // an unreadable pair is zero
        QCOMPARE(HexToLong("FFFF", true), -1);              // the short form is 16 bits
        QCOMPARE(HexToLong("ffff", false), 65535);
        QCOMPARE(HexToLong("12G4", false), 0x12); // up to the first non-digit
        QCOMPARE(TextToAsciiHex("00A1"), "30304131");
        // What is not converted passes through as given: no upper-casing, no "SS" for a sharp s.
        QCOMPARE(TextToAsciiHex(QString::fromUtf8("z-\u00DF\u00E9 1")),
                 QString::fromUtf8("5A-\u00DF\u00E9 31"));
        QCOMPARE(BinaryToHex("0001111110101"), "1FA"); // a short last group adds nothing
        QCOMPARE(HexToBinary("1X2"), "00010010");
        QCOMPARE(BytesToHexPairs(QByteArray("a\x0fy")), "61 0F 79 ");
        QCOMPARE(OffsetAddressList(2, SwitchTypeCode::Lcd36x24, 16), (QStringList{"", "11", "12"}));
        QCOMPARE(OffsetAddressList(2, SwitchTypeCode::Lcd64x32, 0xFE),
                 (QStringList{"", "FF", "100"})); // a wider address is kept whole
        QCOMPARE(OffsetAddressList(2, SwitchTypeCode::Text, 0), (QStringList{"", "", ""}));
    }

    // The address field pads first, then checks length, range and digits in that order.
    void addressField_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("shown"); // the accepted text or the message
        QTest::newRow("LCD 7 padded") << "7" << 1 << true << "07";
        QTest::newRow("LCD 100 too long")
            << "100" << 1 << false << "Data must be 2 characters long.";
        QTest::newRow("00 accepted") << "00" << 2 << true << "00";
        QTest::newRow("lower case upper-cased") << "ab" << 5 << true << "00AB";
        QTest::newRow("empty does nothing") << "" << 1 << true << "";
    }
    void addressField()
    {
        QFETCH(QString, typed);
        QFETCH(int, type);
        const int width = AddressWidth(qint16(type));
        const QString padded = typed.isEmpty() ? typed : PadAddress(typed, width);
        const HexFieldVerdict verdict = CheckHexField(padded, width, HighestAddress(qint16(type)));
        QTEST(verdict.accepted, "accepted");
        QTEST(verdict.text + verdict.message, "shown");
    }

    // The range check reads the digits as a 32-bit signed value: eight digits from 80000000 on
    // are negative and pass on to the hex check.
    void rangeCheck()
    {
        QCOMPARE(CheckHexField("1FF", 3, 255).message, "Data must between 1 and 255.");
        QCOMPARE(CheckHexField("7FFFFFFF", 8, 65535).message, "Data must between 1 and 65535.");
        QVERIFY(CheckHexField("FFFFFFFF", 8, 65535).accepted);
    }

    void typeQuestions_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("setting");
        QTest::addColumn<int>("check");
        QTest::addColumn<bool>("asked");
        QTest::newRow("matching setting") << 3 << 3 << 1 << false;
        QTest::newRow("MONO never asked") << 5 << 1 << 1 << false;
        QTest::newRow("replies not checked") << 6 << 2 << 0 << false;
        QTest::newRow("mismatch asks") << 6 << 2 << 1 << true;
    }
    // Each question is answered No, which refuses the download.
    void typeQuestions()
    {
        QFETCH(int, type);
        QFETCH(int, setting);
        QFETCH(int, check);
        QFETCH(bool, asked);
        AppState& state = rig->state;
        state.TypeCode = qint16(type);
        state.ControllerSetting = qint16(setting);
        state.ControllerCheckFlag = check;
        RecordingShell& shell = rig->shell;
        shell.answers = {MessageAnswer::No, MessageAnswer::No, MessageAnswer::No};
        QCOMPARE((QList<bool>{ConfirmPictureType(state, shell), ConfirmAttributeType(state, shell),
                              ConfirmClearType(state, shell)}),
                 QList<bool>(3, !asked));
        const QString question = "Download Picture Message: %1 type does not match Controller or "
                                 "Controller Setting.\rDo you wish to %2 anyway?";
        QCOMPARE(shell.shown(),
                 (asked ? QStringList{question.arg("Image file", "download image file"),
                                      question.arg("Attribute", "download attributes"),
                                      question.arg("Image file", "attempt to clear address")}
                        : QStringList()));
        for (const ShownMessage& shown : shell.messages)
            QCOMPARE(shown.buttons, MessageButtons::YesNo);
    }
};

QTEST_GUILESS_MAIN(TestControllerLink)
#include "tst_controllerlink.moc"
