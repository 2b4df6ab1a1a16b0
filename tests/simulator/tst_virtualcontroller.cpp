// The virtual controller's core, fed synchronously: every command's answer and what it keeps,
// each delivered in bulk and byte by byte with the same outcome. Then its in-process port: written
// bytes leave later, never inside write(), and the line model lets the output count fall as bytes
// leave. That the port holds its output on the controller's XOFF is proven end to end by the
// command line's raw text on the built-in controller.

#include "ControllerTiming.h"
#include "InProcessPort.h"
#include "SwitchForms.h"
#include "VirtualController.h"

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

namespace {

// A script is a list of writes; an empty entry stands for a quiet line, the gap after which the
// controller judges what it has.
using Script = QList<QByteArray>;
const QByteArray Idle;
const QByteArray QueryAnswer = QByteArrayLiteral("a7GLINTSIMV1.00y");

// Runs the script and returns everything the controller sent meanwhile.
QByteArray runScript(VirtualController& controller, const Script& script, bool byteByByte = false)
{
    const qsizetype before = controller.sentBytes().size();
    for (const QByteArray& write : script) {
        if (write.isEmpty())
            controller.lineIdle();
        else if (!byteByByte)
            controller.receive(write);
        else
            for (const char byte : write)
                controller.receive(QByteArray(1, byte));
    }
    return controller.sentBytes().mid(before);
}

// A transfer as the program sends it: the header in one write, then two digits per write.
Script transferScript(const QByteArray& header, const QByteArray& digits,
                      bool gapAfterHeader = false)
{
    Script script{header};
    if (gapAfterHeader)
        script.append(Idle);
    for (qsizetype i = 0; i < digits.size(); i += 2)
        script.append(digits.mid(i, 2));
    return script;
}

// What the controller keeps, in short: per picture its type letter and address ("R1A"), per
// attribute record its type code, address and digits as received ("*2 1A 0102...").
QByteArray kept(const VirtualController& controller)
{
    QByteArrayList items;
    for (const StoredPicture& picture : controller.pictures())
        items << char('P' + picture.typeCode) + QByteArray::number(picture.address, 16).toUpper();
    for (const AttributeRecord& record : controller.attributeRecords())
        items << "*" + QByteArray::number(record.typeCode) + " " +
                     QByteArray::number(record.address, 16).toUpper() + " " + record.digits;
    return items.join(' ');
}

struct Setup
{
    char setting = '7';
    Misbehaviour misbehaviour = Misbehaviour::None;
    bool hostFlowControl = false;
    int failPictures = 0;
};

void exchange(const char* name, const Script& script, const QByteArray& answers,
              const QByteArray& kept = {}, const Setup& setup = {})
{
    QTest::newRow(name) << script << answers << kept << setup;
}

} // namespace

class TestVirtualController : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void exchanges_data()
    {
        QTest::addColumn<Script>("script");
        QTest::addColumn<QByteArray>("answers");
        QTest::addColumn<QByteArray>("kept");
        QTest::addColumn<Setup>("setup");

        // Each command of fixed length is answered as soon as its last byte is in, so none of them
        // may swallow the start of the next.
        exchange("call, reset, LED commands, clear, query in one write",
                 {"\x01$&CX'0101&O\x1B$'C00010000&RX"}, QByteArray("ay").repeated(6) + QueryAnswer);
        exchange("clear, wrong tail", {"'C00010001"}, "an");
        exchange("clear, address not hex", {"'C00G10000"}, "an");
        exchange("flow control bytes are no command", {"\x11\x13\x01"}, "ay");
        exchange("unknown tester colour", {"&ZX"}, "n");
        exchange("truncated query", {"&R", Idle}, "n");
        exchange("text without flow control", {"HELLO", Idle}, "n");
        exchange("garbage, then a call", {"\xFF\xFE\x80", Idle, "\x01"}, "nay");
        exchange("upload, odd address", {")001", Idle}, "an");
        exchange("raw text, command bytes included", {"HELLO \x01&RX(R01", Idle}, "y", {},
                 {.hostFlowControl = true});

        const Setup refuse{.misbehaviour = Misbehaviour::RefuseAll};
        const QByteArray sixteen = "0102030405060708";
        exchange("record, LCD 36x24 of 32 digits", {"*Q01" + sixteen + sixteen, Idle}, "ay",
                 "*1 1 " + sixteen + sixteen);
        exchange("record, 16 digits after a 4-digit address", {"*0003" + sixteen, Idle}, "ay",
                 "*0 3 " + sixteen, {.setting = '0'});
        exchange("record, type from the setting", {"*0003" + sixteen, Idle}, "ay",
                 "*3 3 " + sixteen, {.setting = '3'});
        exchange("record, letter wins over the setting", {"*Q01" + sixteen, Idle}, "ay",
                 "*1 1 " + sixteen, {.setting = '3'});
        exchange("record, not hex", {"*V0001" + QByteArray(15, '0') + "G", Idle}, "an");
        exchange("record, MONO too short", {"*U0001" + sixteen, Idle}, "an");
        exchange("record, no address", {"*", Idle}, "an");
        exchange("record refused", {"*R1A" + sixteen, Idle}, "an", {}, refuse);

        const QByteArray lcd(512, '0');
        const Script transfer = transferScript("(R01", lcd);
        exchange("truncated block", transferScript("(R01", lcd.left(510)) << Idle, "an");
        exchange("digit that is not hex",
                 transferScript("(R01", lcd.left(100) + "0G" + lcd.left(410)), "an");
        exchange("header, then silence", {"(S0001", Idle}, "an");
        exchange("header with three address digits", {"(001", Idle, Idle}, "an");
        exchange("picture of another type than the setting",
                 transferScript("(0001", QByteArray(7488, '0')) << Idle, "an", {},
                 {.setting = '3'});
        exchange("extra digits after a whole picture", transferScript("(R01", lcd + "00") << Idle,
                 "ayn", "R1");
        // As long as an LCD 36x24 blank: the LCD 64x32 picture wins.
        exchange("no letter, whole picture in one write", {"(01" + lcd, Idle}, "ay", "R1");

        // Upload answers in one write: eleven leading bytes, none a 'y' or 'n' the program would
        // take for the end, then the picture as digits and 'y'; the address's width picks among
        // the types. Clear removes the types of 4-digit addresses; an LCD one is blanked instead.
        const QByteArray picture = QByteArray("00FF7E81").repeated(64);
        const Script both =
            transferScript("(R01", picture) + transferScript("(U0001", lcd.repeated(3));
        exchange("upload, 2-digit address", both + Script{")01", Idle},
                 "ayayaR00010100:" + picture + "y", "R1 U1");
        exchange("upload, 4-digit address", both + Script{")0001", Idle},
                 "ayayaU00010300:" + lcd.repeated(3) + "y", "R1 U1");
        exchange("clear", both + Script{"'C00010000", ")0001", Idle}, "ayayayan", "R1");

        exchange("silent, still stores", transfer, "", "R1",
                 {.misbehaviour = Misbehaviour::Silent});
        exchange("refuses query", {"&RX"}, "an", {}, refuse);
        exchange("no ready byte, query", {"&RX"}, QueryAnswer.mid(1), {},
                 {.misbehaviour = Misbehaviour::NoReady});
        // What a batch run's retries need; a truncated block does not use up a failure.
        exchange("fails two pictures, then accepts",
                 transfer + Script{"(R01", "00", Idle} + transfer + transfer, "anananay", "R1",
                 {.failPictures = 2});
    }
    void exchanges()
    {
        QFETCH(Script, script);
        QFETCH(QByteArray, kept);
        QFETCH(Setup, setup);
        for (const bool byteByByte : {false, true}) {
            VirtualController controller;
            controller.setIdentity({setup.setting, "GLINTSIM", 'V', "1.00"});
            controller.setMisbehaviour(setup.misbehaviour);
            controller.setHostFlowControl(setup.hostFlowControl);
            controller.failNextPictures(setup.failPictures);
            QTEST(runScript(controller, script, byteByByte), "answers");
            QCOMPARE(controller.receivedBytes(), script.join());
            QCOMPARE(::kept(controller), kept);
            // While the program has flow control on, every byte is raw text, whatever its value.
            QCOMPARE(controller.rawText(), setup.hostFlowControl ? script.join() : QByteArray());
        }
    }

    void pictureTransfers_data()
    {
        QTest::addColumn<char>("setting");
        QTest::addColumn<Script>("script");
        QTest::addColumn<QByteArray>("kept");
        QTest::addColumn<QByteArray>("payload");
        // Whether a longer picture could still follow, so only the quiet line ends the block.
        QTest::addColumn<bool>("endsAtGap");

        const std::pair<int, QByteArray> types[] = {{125, "21"},    {256, "1A"},   {6144, "1234"},
                                                    {3744, "ABCD"}, {768, "4321"}, {12288, "FFFF"}};
        for (int code = 1; code <= 6; ++code) {
            const auto& [bytes, address] = types[code - 1];
            const QByteArray name = TypeName(qint16(code)).toLatin1();
            QByteArray payload; // every byte value, in an order that differs per type
            for (int i = 0; i < bytes; ++i)
                payload += char(i * 37 + code);
            const QByteArray digits = payload.toHex().toUpper();
            const QByteArray letter(1, char('P' + code));
            // An LCD 36x24 picture is shorter than the LCD blank of 256 bytes.
            const bool shorterThanBlank = code == 1;
            QTest::addRow("%s with letter", name.data())
                << '7' << transferScript("(" + letter + address, digits) << letter + address
                << payload << shorterThanBlank;
            // Without a letter and with "All Switches" the address width is only known once the
            // header's burst has ended, and only COLOR is the longest picture of its width.
            QTest::addRow("%s without letter", name.data())
                << '7' << transferScript("(" + address, digits, true) << letter + address << payload
                << (shorterThanBlank || (code >= 3 && code <= 5));
            QTest::addRow("%s without letter, matching setting", name.data())
                << char('0' + code) << transferScript("(" + address, digits) << letter + address
                << payload << shorterThanBlank;
        }
        QTest::newRow("LCD 36x24 blank: 256 zero bytes")
            << '7' << transferScript("(Q01", QByteArray(512, '0')) << QByteArray("Q1")
            << QByteArray(256, 0) << false;
        QTest::newRow("lower-case digits")
            << '7' << transferScript("(R01", QByteArray(512, 'a')) << QByteArray("R1")
            << QByteArray(256, char(0xAA)) << false;
    }
    void pictureTransfers()
    {
        QFETCH(char, setting);
        QFETCH(Script, script);
        QFETCH(QByteArray, kept);
        QFETCH(QByteArray, payload);
        QFETCH(bool, endsAtGap);
        for (const bool byteByByte : {false, true}) {
            VirtualController controller;
            controller.setIdentity({setting, "GLINTSIM", 'V', "1.00"});
            QSignalSpy stored(&controller, &VirtualController::memoryChanged);
            QCOMPARE(runScript(controller, script.mid(0, script.size() - 1), byteByByte), "a");
            QCOMPARE(runScript(controller, {script.last()}, byteByByte), endsAtGap ? "" : "y");
            QCOMPARE(runScript(controller, {Idle}, byteByByte), endsAtGap ? "y" : "");
            QCOMPARE(::kept(controller), kept);
            QCOMPARE(controller.pictures().first().payload, payload);
            QCOMPARE(stored.count(), 1);
        }
    }

    // Noise the program can take for nothing it knows: no answer letter and no flow control.
    void garbageHoldsNoProtocolByte()
    {
        VirtualController controller;
        controller.setMisbehaviour(Misbehaviour::Garbage);
        const QByteArray noise = runScript(controller, {"&RX"});
        QCOMPARE(noise.size(), QueryAnswer.size());
        for (const char byte : {'a', 'y', 'n', '\x11', '\x13'})
            QVERIFY(!noise.contains(byte));
    }

    // A 16-character input asks for a pause two characters before it is full and for more once it
    // is half empty; a program that ignores the pause loses characters and gets 'n'.
    void rawTextFlowControl_data()
    {
        QTest::addColumn<int>("written");
        QTest::addColumn<int>("lost");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("stops on XOFF") << 14 << 0 << QByteArray("y");
        QTest::newRow("goes on after XOFF") << 20 << 4 << QByteArray("n");
    }
    void rawTextFlowControl()
    {
        QFETCH(int, written);
        QFETCH(int, lost);
        VirtualController controller;
        controller.setTextInput(16, 100);
        controller.setHostFlowControl(true);
        QCOMPARE(runScript(controller, {QByteArray(13, 'x')}), QByteArray());
        QCOMPARE(runScript(controller, {QByteArray(written - 13, 'x')}), QByteArray("\x13"));
        QCOMPARE(runScript(controller, {Idle}), QByteArray()); // paused: the block is not over
        QTRY_COMPARE(controller.sentBytes(), QByteArray("\x13\x11"));
        QTEST(runScript(controller, {Idle}), "answer");
        QCOMPARE(controller.rawText(), QByteArray(written - lost, 'x'));
        QCOMPARE(controller.counters().textCharsLost, lost);
    }

    // The quiet gap is judged on the line: while bytes are still on their way (the controller's
    // own process came late to read them), no time on the clock ends the block.
    void bytesOnTheWayKeepTheBlockOpen()
    {
        VirtualController controller;
        bool onTheWay = true;
        controller.setLineProbe([&onTheWay] { return onTheWay; });
        QCOMPARE(runScript(controller, transferScript("(Q01", QByteArray(250, '0'))), "a");
        QTest::qWait(2 * ControllerTiming::DataGapMs);
        QCOMPARE(controller.sentBytes(), "a");
        onTheWay = false;
        QTRY_COMPARE(controller.sentBytes(), "ay");
    }

    // The controller's own process stops running in the middle of a picture (the stall is the
    // case under test, so the thread really sleeps): the one late tick counts only part of it,
    // and the sender's next digits still complete the picture.
    void aStalledProcessIsNoQuietLine()
    {
        VirtualController controller;
        QCOMPARE(runScript(controller, transferScript("(Q01", QByteArray(240, '0'))), "a");
        QThread::msleep(3 * ControllerTiming::DataGapMs);
        QCoreApplication::processEvents(); // the overdue tick
        QCOMPARE(controller.sentBytes(), "a");
        runScript(controller, {QByteArray(10, '0')});
        QTRY_COMPARE(controller.sentBytes(), "ay");
    }

    // A picture written in one piece: the controller has each byte once the count says it left,
    // the count only falls, and the controller's timing still reads paced bytes as one block.
    void outputLeavesAfterWrite_data()
    {
        QTest::addColumn<int>("speed");
        QTest::newRow("9600 bit/s") << 9600;
        QTest::newRow("115200 bit/s") << 115200;
    }
    void outputLeavesAfterWrite()
    {
        QFETCH(int, speed);
        VirtualController controller;
        InProcessPort port(controller);
        port.setLineModel(true);
        QVERIFY(port.setBaudRate(speed) && port.open());
        // Bytes still waiting when the port closes are dropped, not sent once it is open again.
        port.write("\x01");
        port.close();
        QCOMPARE(port.bytesToWrite(), 0);
        QVERIFY(port.open());
        QList<qint64> counts;
        qint64 sent = 0;
        bool receivedAsSent = true;
        connect(&port, &SerialPort::bytesWritten, this, [&](qint64 count) {
            sent += count;
            counts.append(port.bytesToWrite());
            receivedAsSent = receivedAsSent && controller.receivedBytes().size() == sent;
        });
        const QByteArray transfer = "(Q7F" + QByteArray(250, 'C');
        port.write(transfer);
        QCOMPARE(port.bytesToWrite(), transfer.size());
        QCOMPARE(controller.receivedBytes(), QByteArray());
        // An LCD 36x24 picture is answered once the line has been quiet for a moment.
        QByteArray answer;
        QTRY_COMPARE(answer += port.readAll(), QByteArray("ay"));
        QCOMPARE(port.bytesToWrite(), 0);
        QCOMPARE(controller.receivedBytes(), transfer);
        QVERIFY(receivedAsSent);
        QVERIFY(std::is_sorted(counts.rbegin(), counts.rend()));
        QCOMPARE(controller.picture(0x7F, 1)->payload, QByteArray(125, char(0xCC)));
    }

    // Raw text through a transmit FIFO (a UART's, or a USB adapter's that hides the whole queue):
    // the count falls while the line still sends. Flow control is switched off as soon as the
    // text is written; the characters still on their way must reach the controller as raw text.
    void transmitFifoTakesBytesAhead_data()
    {
        QTest::addColumn<int>("fifo");
        QTest::newRow("16 bytes") << 16;
        QTest::newRow("hidden queue") << InProcessPort::HiddenQueue;
    }
    void transmitFifoTakesBytesAhead()
    {
        QFETCH(int, fifo);
        VirtualController controller;
        InProcessPort port(controller);
        port.setLineModel(true);
        port.setTransmitFifo(fifo);
        QVERIFY(port.setBaudRate(300)); // 33 ms a byte: slow enough to watch
        QVERIFY(port.open());
        QVERIFY(port.setFlowControl(FlowControl::XonXoff));
        QSignalSpy written(&port, &SerialPort::bytesWritten);
        const QByteArray text = "01020304050607080910";
        port.write(text);
        port.setFlowControl(FlowControl::None);
        QVERIFY(written.wait());
        const qint64 taken = std::min<qint64>(fifo, text.size());
        QCOMPARE(written.first().first().toLongLong(), taken);
        QCOMPARE(port.bytesToWrite(), text.size() - taken);
        QTRY_COMPARE(port.bytesToWrite(), 0);
        QVERIFY(controller.receivedBytes().size() < text.size());
        QVERIFY(port.lineIdleAtNs() > QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs());
        QTRY_COMPARE(controller.rawText(), text);
        QVERIFY(!controller.hostFlowControl());
        QCOMPARE(controller.counters().unrecognised, 0);
    }
};

QTEST_GUILESS_MAIN(TestVirtualController)
#include "tst_virtualcontroller.moc"
