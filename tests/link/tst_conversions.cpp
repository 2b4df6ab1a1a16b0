#include "AppState.h"
#include "Conversions.h"
#include "HexField.h"
#include "LinkFakes.h"
#include "SwitchCommands.h"

#include <QTest>

// The texts the link builds and checks: conversions, input fields, command texts, type questions.
class TestConversions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
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
        AppState state;
        state.TypeCode = qint16(type);
        state.ControllerSetting = qint16(setting);
        state.ControllerCheckFlag = check;
        RecordingShell shell;
        shell.answers = {MessageAnswer::No, MessageAnswer::No, MessageAnswer::No};
        QCOMPARE(ConfirmPictureType(state, shell), !asked);
        QCOMPARE(ConfirmAttributeType(state, shell), !asked);
        QCOMPARE(ConfirmClearType(state, shell), !asked);
        const QString mismatch = " type does not match Controller or Controller Setting.\r";
        const QStringList questions{
            "Image file" + mismatch + "Do you wish to download image file anyway?",
            "Attribute" + mismatch + "Do you wish to download attributes anyway?",
            "Image file" + mismatch + "Do you wish to attempt to clear address anyway?"};
        QCOMPARE(shell.messageTexts(), asked ? questions : QStringList());
        for (const ShownMessage& shown : shell.messages) {
            QCOMPARE(shown.title, "Download Picture Message");
            QCOMPARE(shown.buttons, MessageButtons::YesNo);
        }
    }
};

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"
