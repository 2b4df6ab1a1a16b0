// The virtual controller's core, fed synchronously: every command's answer and what it keeps,
// each delivered in bulk and byte by byte with the same outcome.

#include "ControllerScript.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QByteArray QueryAnswer = QByteArrayLiteral("a7GLINTSIMV1.00y");

QByteArray digitsOf(const QByteArray& bytes)
{
    return bytes.toHex().toUpper();
}

QByteArray zeros(int count)
{
    return QByteArray(count, '0');
}

} // namespace

class TestVirtualController : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void commandAnswers_data();
    void commandAnswers();
    void attributeRecords_data();
    void attributeRecords();
    void pictureTransfers_data();
    void pictureTransfers();
    void refusedTransfers_data();
    void refusedTransfers();
    void uploadSendsStoredPicture();
    void uploadFollowsAddressWidth();
    void clearBlanksWideAddresses();
    void misbehaviour_data();
    void misbehaviour();
    void lateAndGarbageAnswers();
    void failsRequestedPicturesThenAccepts();
    void rawText_data();
    void rawText();
    void rawTextAsksForPauseAndResumes();
    void rawTextOverflowIsRefused();
};

void TestVirtualController::commandAnswers_data()
{
    QTest::addColumn<Script>("script");
    QTest::addColumn<QByteArray>("answers");

    QTest::newRow("call") << Script{"\x01"} << QByteArray("ay");
    QTest::newRow("reset") << Script{"$"} << QByteArray("ay");
    QTest::newRow("query") << Script{"&RX"} << QueryAnswer;
    QTest::newRow("LED off") << Script{"&FX"} << QByteArray("ay");
    QTest::newRow("LED green") << Script{"&CX"} << QByteArray("ay");
    QTest::newRow("LED red") << Script{"&DX"} << QByteArray("ay");
    QTest::newRow("LED amber") << Script{"&EX"} << QByteArray("ay");
    QTest::newRow("LEDs on") << Script{"'0101"} << QByteArray("ay");
    QTest::newRow("LEDs off") << Script{"'0100"} << QByteArray("ay");
    QTest::newRow("LED tester reset") << Script{QByteArray("&O\x1B$")} << QByteArray("ay");
    QTest::newRow("clear") << Script{"'C00010000"} << QByteArray("ay");
    QTest::newRow("clear, wrong tail") << Script{"'C00010001"} << QByteArray("an");
    QTest::newRow("clear, address not hex") << Script{"'C00G10000"} << QByteArray("an");
    QTest::newRow("two commands in one write") << Script{"\x01&RX"} << "ay" + QueryAnswer;
    QTest::newRow("flow control bytes are no command")
        << Script{"\x11\x13\x01"} << QByteArray("ay");
    QTest::newRow("plain text") << Script{"HELLO", Idle} << QByteArray("n");
    QTest::newRow("unknown tester colour") << Script{"&ZX"} << QByteArray("n");
    QTest::newRow("truncated query") << Script{"&R", Idle} << QByteArray("n");
    QTest::newRow("garbage, then a call")
        << Script{"\xFF\xFE\x80", Idle, "\x01"} << QByteArray("nay");
    QTest::newRow("upload of an empty address") << Script{")0001", Idle} << QByteArray("an");
    QTest::newRow("upload, odd address") << Script{")001", Idle} << QByteArray("an");
    QTest::newRow("attribute, not hex")
        << Script{"*V0001" + zeros(15) + "G", Idle} << QByteArray("an");
    QTest::newRow("attribute, MONO record too short")
        << Script{"*U0001" + zeros(16), Idle} << QByteArray("an");
    QTest::newRow("attribute, no address") << Script{"*", Idle} << QByteArray("an");
}

void TestVirtualController::commandAnswers()
{
    QFETCH(Script, script);
    QFETCH(QByteArray, answers);
    for (const Delivery delivery : {Delivery::Bulk, Delivery::ByteByByte}) {
        VirtualController controller;
        QCOMPARE(runScript(controller, script, delivery), answers);
        QCOMPARE(controller.sentBytes(), answers);
        QCOMPARE(controller.receivedBytes(), script.join());
    }
}

void TestVirtualController::attributeRecords_data()
{
    QTest::addColumn<char>("setting");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("typeCode");
    QTest::addColumn<QByteArray>("digits");

    const QByteArray twelve("0102030405A6");
    const QByteArray sixteen("0102030405060708");
    const QByteArray thirtyTwo = sixteen + "090A0B0C0D0E0F10";
    const QByteArray twentyEight = sixteen + "1112131415F6";
    QTest::newRow("LCD 64x32, two switches, with letter")
        << '7' << "*R1A" + twelve + "C303" << 0x1A << 2 << twelve + "C303";
    QTest::newRow("LCD 64x32, two switches, no letter")
        << '7' << "*1A" + twelve + "C303" << 0x1A << 0 << twelve + "C303";
    QTest::newRow("LCD 36x24, sixteen switches")
        << '7' << "*Q01" + thirtyTwo << 0x01 << 1 << thirtyTwo;
    QTest::newRow("MONO always lettered")
        << '7' << "*U0102" + twentyEight << 0x102 << 5 << twentyEight;
    QTest::newRow("COLOR with letter") << '7' << "*VFFFF" + sixteen << 0xFFFF << 6 << sixteen;
    QTest::newRow("OLED, no letter, no setting")
        << '0' << "*0003" + sixteen << 0x0003 << 0 << sixteen;
    QTest::newRow("OLED, no letter, setting OLED 64x48")
        << '3' << "*0003" + sixteen << 0x0003 << 3 << sixteen;
    QTest::newRow("letter wins over the setting") << '3' << "*Q01" + twelve << 0x01 << 1 << twelve;
}

void TestVirtualController::attributeRecords()
{
    QFETCH(char, setting);
    QFETCH(QByteArray, command);
    QFETCH(int, address);
    QFETCH(int, typeCode);
    QFETCH(QByteArray, digits);
    for (const Delivery delivery : {Delivery::Bulk, Delivery::ByteByByte}) {
        VirtualController controller;
        controller.setIdentity({setting, "GLINTSIM", 'V', "1.00"});
        QCOMPARE(runScript(controller, {command, Idle}, delivery), QByteArray("ay"));
        const std::optional<AttributeRecord> record = controller.attributeRecord(quint16(address));
        QVERIFY(record);
        QCOMPARE(int(record->typeCode), typeCode);
        QCOMPARE(record->digits, digits);
        QCOMPARE(controller.counters().attributeRecords, 1);
    }
}

void TestVirtualController::pictureTransfers_data()
{
    QTest::addColumn<char>("setting");
    QTest::addColumn<Script>("script");
    QTest::addColumn<int>("typeCode");
    QTest::addColumn<int>("address");
    QTest::addColumn<QByteArray>("payload");
    // Whether a longer picture could still follow, so only the quiet line ends the block.
    QTest::addColumn<bool>("endsAtGap");

    struct Type
    {
        const char* name;
        char letter;
        int bytes;
        QByteArray address;
    };
    const Type types[] = {{"LCD 36x24", 'Q', 125, "01"},     {"LCD 64x32", 'R', 256, "1A"},
                          {"OLED 64x48", 'S', 6144, "0001"}, {"OLED 52x36", 'T', 3744, "ABCD"},
                          {"MONO 96x64", 'U', 768, "0100"},  {"COLOR 96x64", 'V', 12288, "FFFF"}};
    for (const Type& type : types) {
        const int code = type.letter - 'P';
        const QByteArray payload = samplePayload(type.bytes, quint32(code));
        const QByteArray digits = digitsOf(payload);
        const int address = type.address.toInt(nullptr, 16);
        // An LCD 36x24 picture is shorter than the LCD blank of 256 bytes.
        const bool shorterThanBlank = code == 1;
        QTest::addRow("%s with letter", type.name)
            << '7' << transferScript("(" + QByteArray(1, type.letter) + type.address, digits, false)
            << code << address << payload << shorterThanBlank;
        // Without a letter and with "All Switches" the address width is only known once the
        // header's burst has ended, and only COLOR is the longest picture of its width.
        QTest::addRow("%s without letter", type.name)
            << '7' << transferScript("(" + type.address, digits, true) << code << address << payload
            << (shorterThanBlank || (code >= 3 && code <= 5));
        QTest::addRow("%s without letter, matching setting", type.name)
            << char('0' + code) << transferScript("(" + type.address, digits, false) << code
            << address << payload << shorterThanBlank;
    }
    QTest::newRow("LCD 36x24 blank: 256 zero bytes")
        << '7' << transferScript("(Q20", zeros(512), false) << 1 << 0x20 << QByteArray(256, 0)
        << false;
    QTest::newRow("lower-case digits") << '7' << transferScript("(R00", QByteArray(512, 'a'), false)
                                       << 2 << 0 << QByteArray(256, char(0xAA)) << false;
}

void TestVirtualController::pictureTransfers()
{
    QFETCH(char, setting);
    QFETCH(Script, script);
    QFETCH(int, typeCode);
    QFETCH(int, address);
    QFETCH(QByteArray, payload);
    QFETCH(bool, endsAtGap);
    for (const Delivery delivery : {Delivery::Bulk, Delivery::ByteByByte}) {
        VirtualController controller;
        controller.setIdentity({setting, "GLINTSIM", 'V', "1.00"});
        QSignalSpy stored(&controller, &VirtualController::memoryChanged);
        QCOMPARE(runScript(controller, script.mid(0, script.size() - 1), delivery),
                 QByteArray("a"));
        QCOMPARE(runScript(controller, {script.last()}, delivery),
                 endsAtGap ? QByteArray() : QByteArray("y"));
        QCOMPARE(runScript(controller, {Idle}, delivery),
                 endsAtGap ? QByteArray("y") : QByteArray());
        const std::optional<StoredPicture> picture =
            controller.picture(quint16(address), qint16(typeCode));
        QVERIFY(picture);
        QCOMPARE(picture->payload, payload);
        QCOMPARE(controller.counters().picturesStored, 1);
        QCOMPARE(stored.count(), 1);
    }
}

void TestVirtualController::refusedTransfers_data()
{
    QTest::addColumn<char>("setting");
    QTest::addColumn<Script>("script");
    QTest::addColumn<QByteArray>("answers");

    const QByteArray lcd = zeros(512);
    QTest::newRow("truncated block")
        << '7' << (transferScript("(R01", lcd.left(510), false) << Idle) << QByteArray("an");
    QTest::newRow("digit that is not hex")
        << '7' << transferScript("(R01", lcd.left(100) + "0G" + lcd.left(410), false)
        << QByteArray("an");
    QTest::newRow("header, then silence") << '7' << Script{"(S0001", Idle} << QByteArray("an");
    QTest::newRow("header with three address digits")
        << '7' << Script{"(001", Idle, Idle} << QByteArray("an");
    QTest::newRow("picture of another type than the setting")
        << '3' << (transferScript("(0001", zeros(7488), false) << Idle) << QByteArray("an");
    QTest::newRow("extra digits after a whole picture")
        << '7' << (transferScript("(R01", lcd + "00", false) << Idle) << QByteArray("ayn");
    QTest::newRow("no letter, whole picture in one write")
        << '7' << Script{"(01" + lcd, Idle} << QByteArray("ay");
}

void TestVirtualController::refusedTransfers()
{
    QFETCH(char, setting);
    QFETCH(Script, script);
    QFETCH(QByteArray, answers);
    for (const Delivery delivery : {Delivery::Bulk, Delivery::ByteByByte}) {
        VirtualController controller;
        controller.setIdentity({setting, "GLINTSIM", 'V', "1.00"});
        QCOMPARE(runScript(controller, script, delivery), answers);
        QCOMPARE(controller.pictures().size(), answers.contains('y') ? 1 : 0);
    }
}

void TestVirtualController::uploadSendsStoredPicture()
{
    VirtualController controller;
    const QByteArray payload = samplePayload(256, 7);
    runScript(controller, transferScript("(R1A", digitsOf(payload), false), Delivery::Bulk);
    const QByteArray reply = runScript(controller, {")1A", Idle}, Delivery::Bulk);
    // Eleven leading bytes, then the picture as digits, then 'y'; nothing the program would
    // take for an early 'y' or 'n'.
    QCOMPARE(reply.left(11), QByteArray("aR001A0100:"));
    QCOMPARE(reply.mid(11), digitsOf(payload) + "y");
    QCOMPARE(reply.count('y') + reply.count('n'), 1);
}

void TestVirtualController::uploadFollowsAddressWidth()
{
    VirtualController controller;
    runScript(controller, transferScript("(R01", zeros(512), false), Delivery::Bulk);
    runScript(controller, transferScript("(U0001", QByteArray(1536, 'F'), false), Delivery::Bulk);
    QCOMPARE(runScript(controller, {")01", Idle}, Delivery::Bulk).left(11),
             QByteArray("aR00010100:"));
    QCOMPARE(runScript(controller, {")0001", Idle}, Delivery::Bulk).left(11),
             QByteArray("aU00010300:"));
    QCOMPARE(int(controller.latestPicture(1)->typeCode), 5);
}

void TestVirtualController::clearBlanksWideAddresses()
{
    VirtualController controller;
    runScript(controller, transferScript("(V0001", zeros(24576), false), Delivery::Bulk);
    runScript(controller, transferScript("(Q01", zeros(250), false) << Idle, Delivery::Bulk);
    QCOMPARE(controller.pictures().size(), 2);
    QCOMPARE(runScript(controller, {"'C00010000"}, Delivery::Bulk), QByteArray("ay"));
    QVERIFY(!controller.picture(1, 6));
    QVERIFY(controller.picture(1, 1)); // an LCD address is blanked by a picture of zeros instead
    QCOMPARE(runScript(controller, {")0001", Idle}, Delivery::Bulk), QByteArray("an"));
}

void TestVirtualController::misbehaviour_data()
{
    QTest::addColumn<Misbehaviour>("misbehaviour");
    QTest::addColumn<Script>("script");
    QTest::addColumn<QByteArray>("answers");
    QTest::addColumn<bool>("stored");

    const Script transfer = transferScript("(R01", zeros(512), false);
    QTest::newRow("silent query") << Misbehaviour::Silent << Script{"&RX"} << QByteArray() << false;
    QTest::newRow("silent, still stores")
        << Misbehaviour::Silent << transfer << QByteArray() << true;
    QTest::newRow("refuses query")
        << Misbehaviour::RefuseAll << Script{"&RX"} << QByteArray("an") << false;
    QTest::newRow("refuses picture")
        << Misbehaviour::RefuseAll << transfer << QByteArray("an") << false;
    QTest::newRow("refuses call") << Misbehaviour::RefuseAll << Script{"\x01"} << QByteArray("an")
                                  << false;
    QTest::newRow("no ready byte, query")
        << Misbehaviour::NoReady << Script{"&RX"} << QueryAnswer.mid(1) << false;
    QTest::newRow("no ready byte, picture still received")
        << Misbehaviour::NoReady << transfer << QByteArray("y") << true;
}

void TestVirtualController::misbehaviour()
{
    QFETCH(Misbehaviour, misbehaviour);
    QFETCH(Script, script);
    QFETCH(QByteArray, answers);
    QFETCH(bool, stored);
    for (const Delivery delivery : {Delivery::Bulk, Delivery::ByteByByte}) {
        VirtualController controller;
        controller.setMisbehaviour(misbehaviour);
        QCOMPARE(runScript(controller, script, delivery), answers);
        QCOMPARE(controller.pictures().size(), stored ? 1 : 0);
    }
}

void TestVirtualController::lateAndGarbageAnswers()
{
    VirtualController controller;
    controller.setMisbehaviour(Misbehaviour::Late);
    QSignalSpy sent(&controller, &VirtualController::transmit);
    controller.receive("\x01");
    QCOMPARE(sent.count(), 0);
    QVERIFY(sent.wait());
    QCOMPARE(sent.takeFirst().at(0).toByteArray(), QByteArray("ay"));

    controller.setMisbehaviour(Misbehaviour::Garbage);
    controller.receive("&RX");
    const QByteArray noise = controller.sentBytes().mid(2);
    QCOMPARE(noise.size(), QueryAnswer.size());
    for (const char byte : {'a', 'y', 'n', '\x11', '\x13'})
        QVERIFY(!noise.contains(byte));
}

void TestVirtualController::failsRequestedPicturesThenAccepts()
{
    VirtualController controller;
    controller.failNextPictures(2);
    const Script transfer = transferScript("(S0001", zeros(12288), false);
    QCOMPARE(runScript(controller, transfer, Delivery::Bulk), QByteArray("an"));
    // A truncated block does not use up one of the failures.
    QCOMPARE(runScript(controller, {"(S0001", "00", Idle}, Delivery::Bulk), QByteArray("an"));
    QCOMPARE(runScript(controller, transfer, Delivery::Bulk), QByteArray("an"));
    QCOMPARE(runScript(controller, transfer, Delivery::Bulk), QByteArray("ay"));
    QCOMPARE(controller.counters().picturesRefused, 3);
    QCOMPARE(controller.counters().picturesStored, 1);
}

void TestVirtualController::rawText_data()
{
    QTest::addColumn<bool>("flowControl");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("answers");
    QTest::addColumn<QByteArray>("rawText");

    QTest::newRow("text") << true << QByteArray("HELLO WORLD") << QByteArray("y")
                          << QByteArray("HELLO WORLD");
    QTest::newRow("command bytes are text too")
        << true << QByteArray("\x01&RX(R01") << QByteArray("y") << QByteArray("\x01&RX(R01");
    QTest::newRow("without flow control it is no command")
        << false << QByteArray("HELLO") << QByteArray("n") << QByteArray();
}

void TestVirtualController::rawText()
{
    QFETCH(bool, flowControl);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, answers);
    QFETCH(QByteArray, rawText);
    for (const Delivery delivery : {Delivery::Bulk, Delivery::ByteByByte}) {
        VirtualController controller;
        controller.setHostFlowControl(flowControl);
        QCOMPARE(runScript(controller, {text, Idle}, delivery), answers);
        QCOMPARE(controller.rawText(), rawText);
    }
}

void TestVirtualController::rawTextAsksForPauseAndResumes()
{
    VirtualController controller;
    controller.setTextInput(16, 100);
    controller.setHostFlowControl(true);
    // XOFF two characters before the input is full, XON once it is half empty.
    controller.receive(QByteArray(13, 'x'));
    QCOMPARE(controller.sentBytes(), QByteArray());
    controller.receive("x");
    QCOMPARE(controller.sentBytes(), QByteArray("\x13"));
    controller.lineIdle(); // the program waits for room: the block is not over
    QCOMPARE(controller.sentBytes(), QByteArray("\x13"));
    QTRY_COMPARE(controller.sentBytes(), QByteArray("\x13\x11"));
    controller.lineIdle();
    QCOMPARE(controller.sentBytes(), QByteArray("\x13\x11y"));
    QCOMPARE(controller.counters().textCharsLost, 0);
}

void TestVirtualController::rawTextOverflowIsRefused()
{
    VirtualController controller;
    controller.setTextInput(16, 100);
    controller.setHostFlowControl(true);
    controller.receive(QByteArray(20, 'x'));
    QCOMPARE(controller.rawText(), QByteArray(16, 'x'));
    QCOMPARE(controller.counters().textCharsLost, 4);
    QTRY_COMPARE(controller.sentBytes(), QByteArray("\x13\x11"));
    controller.lineIdle();
    QCOMPARE(controller.sentBytes(), QByteArray("\x13\x11n"));
}

QTEST_GUILESS_MAIN(TestVirtualController)
#include "tst_virtualcontroller.moc"
