#include "AppState.h"
#include "Conversions.h"
#include "HexField.h"

#include <QTest>

class TestConversions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void isHexText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("hex");
        QTest::newRow("upper digits") << "1A2B" << true;
        QTest::newRow("case ignored") << "1a2b" << true;
        QTest::newRow("single decimal digit is text") << "1" << false;
        QTest::newRow("single letter is hex") << "F" << true;
        QTest::newRow("letter beyond F") << "1G" << false;
        QTest::newRow("empty counts as hex") << "" << true;
        QTest::newRow("spaces ignored") << "26 52 58" << true;
        QTest::newRow("punctuation just below A") << "1@" << false;
        QTest::newRow("colon just above 9") << "1:" << false;
        QTest::newRow("plain word") << "HELLO" << false;
    }
    void isHexText()
    {
        QFETCH(QString, text);
        QFETCH(bool, hex);
        QCOMPARE(IsHexText(text), hex);
    }

    void hexToBytes_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("letters and CR") << "41420D" << QByteArray("AB\r");
        QTest::newRow("odd last digit alone") << "414" << QByteArray("A\x04");
        QTest::newRow("unreadable pair is zero") << "ZZ41" << QByteArray("\0A", 2);
        QTest::newRow("high byte") << "FF" << QByteArray("\xFF");
        QTest::newRow("empty") << "" << QByteArray();
    }
    void hexToBytes()
    {
        QFETCH(QString, hex);
        QFETCH(QByteArray, bytes);
        QCOMPARE(HexToBytes(hex), bytes);
    }

    void hexToLong_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("shortForm");
        QTest::addColumn<qint32>("value");
        QTest::newRow("FFFF short is -1") << "FFFF" << true << -1;
        QTest::newRow("FFFF long") << "FFFF" << false << 65535;
        QTest::newRow("five digits short reads 32 bits") << "1FFFF" << true << 0x1FFFF;
        QTest::newRow("stops at non-digit") << "12G4" << false << 0x12;
        QTest::newRow("no digits") << "XYZ" << false << 0;
        QTest::newRow("lower case") << "ff" << false << 255;
    }
    void hexToLong()
    {
        QFETCH(QString, text);
        QFETCH(bool, shortForm);
        QFETCH(qint32, value);
        QCOMPARE(HexToLong(text, shortForm), value);
    }

    void textConversions()
    {
        QCOMPARE(TextToAsciiHex("00A1"), QString("30304131"));
        QCOMPARE(TextToAsciiHex("z-9"), QString("5A-39"));
        // What is not converted passes through as given: no upper-casing, no "SS" for a sharp s.
        QCOMPARE(TextToAsciiHex(QString::fromUtf8("\u00DF\u00E9 1")),
                 QString::fromUtf8("\u00DF\u00E9 31"));
        QCOMPARE(BinaryToHex("000111111010"), QString("1FA"));
        QCOMPARE(BinaryToHex("0001101"), QString("1")); // a short last group adds nothing
        QCOMPARE(HexToBinary("1f"), QString("00011111"));
        QCOMPARE(HexToBinary("1X2"), QString("00010010"));
        QCOMPARE(BytesToHexPairs(QByteArray("a\x0fy")), QString("61 0F 79 "));
    }

    void addressLists_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QStringList>("list");
        QTest::newRow("LCD defaults") << 3 << 1 << 0 << QStringList{"", "01", "02", "03"};
        QTest::newRow("OLED defaults") << 3 << 4 << 0 << QStringList{"", "0001", "0002", "0003"};
        QTest::newRow("LCD offset 16") << 2 << 1 << 16 << QStringList{"", "11", "12"};
        QTest::newRow("wider result kept whole") << 2 << 2 << 0xFE << QStringList{"", "FF", "100"};
        QTest::newRow("unknown type stays empty") << 2 << 10 << 0 << QStringList{"", "", ""};
    }
    void addressLists()
    {
        QFETCH(int, count);
        QFETCH(int, type);
        QFETCH(int, offset);
        QFETCH(QStringList, list);
        QCOMPARE(OffsetAddressList(count, qint16(type), offset), list);
    }

    // The address field pads first, then checks length, range and digits in that order.
    void addressField_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("accepted");
        QTest::addColumn<QString>("message");
        QTest::newRow("LCD 7 padded") << "7" << 1 << "07"
                                      << "";
        QTest::newRow("LCD 100 too long") << "100" << 1 << ""
                                          << "Data must be 2 characters long.";
        QTest::newRow("OLED 1FFFF too long") << "1FFFF" << 3 << ""
                                             << "Data must be 4 characters long.";
        QTest::newRow("OLED 0G not hex") << "0G" << 3 << ""
                                         << "Data must be in Hex format.";
        QTest::newRow("00 accepted") << "00" << 2 << "00"
                                     << "";
        QTest::newRow("lower case upper-cased") << "ab" << 5 << "00AB"
                                                << "";
        QTest::newRow("OLED 1 padded") << "1" << 4 << "0001"
                                       << "";
        QTest::newRow("empty does nothing") << "" << 1 << ""
                                            << "";
    }
    void addressField()
    {
        QFETCH(QString, typed);
        QFETCH(int, type);
        QFETCH(QString, accepted);
        QFETCH(QString, message);
        const int width = AddressWidth(qint16(type));
        const QString padded = typed.isEmpty() ? typed : PadAddress(typed, width);
        const HexFieldVerdict verdict = CheckHexField(padded, width, HighestAddress(qint16(type)));
        QCOMPARE(verdict.accepted, message.isEmpty());
        QCOMPARE(verdict.text, accepted);
        QCOMPARE(verdict.message, message);
    }

    // The range check reads the digits as a 32-bit signed value: eight digits from 80000000 on
    // are negative and pass on to the hex check.
    void rangeCheck_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QString>("message");
        QTest::newRow("over the maximum") << "1FF" << 255 << "Data must between 1 and 255.";
        QTest::newRow("largest positive")
            << "7FFFFFFF" << 65535 << "Data must between 1 and 65535.";
        QTest::newRow("negative passes") << "FFFFFFFF" << 65535 << "";
    }
    void rangeCheck()
    {
        QFETCH(QString, text);
        QFETCH(int, maximum);
        QFETCH(QString, message);
        QCOMPARE(CheckHexField(text, int(text.size()), maximum).message, message);
    }
};

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"
