#include "AppState.h"
#include "LinkFakes.h"
#include "SwitchCommands.h"

#include <QTemporaryFile>
#include <QTest>

// The command texts of the single picture screen's tools, and the type questions.
class TestSwitchCommands : public QObject
{
    Q_OBJECT

    static PictureFileRecords oneRecord(qint16 type, const QString& attributes,
                                        const QString& ledOn = {}, const QString& ledOff = {})
    {
        PictureFileRecord record;
        record.TypeCode = type;
        record.Attributes = attributes;
        record.LEDon = ledOn;
        record.LEDoff = ledOff;
        return {PictureFileRecord{}, record};
    }

private Q_SLOTS:
    void attributeCommand_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("letter");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("LCD 64x32 with letter and LEDs")
            << 2 << true << "1A" << QByteArray("*R1A0123456789ABCDEF3C0F");
        QTest::newRow("LCD 64x32 without letter")
            << 2 << false << "1A" << QByteArray("*1A0123456789ABCDEF3C0F");
        QTest::newRow("MONO always U")
            << 5 << false << "0001" << QByteArray("*U00010123456789ABCDEF");
        QTest::newRow("MONO U with option")
            << 5 << true << "0001" << QByteArray("*U00010123456789ABCDEF");
        QTest::newRow("OLED with letter")
            << 3 << true << "00FF" << QByteArray("*S00FF0123456789ABCDEF");
        QTest::newRow("LCD 36x24 plain") << 1 << false << "07" << QByteArray("*070123456789ABCDEF");
    }
    void attributeCommand()
    {
        QFETCH(int, type);
        QFETCH(bool, letter);
        QFETCH(QString, address);
        QFETCH(QByteArray, command);
        const PictureFileRecords records = oneRecord(qint16(type), "0123456789ABCDEF", "3C", "0F");
        QCOMPARE(BuildAttributeCommand(letter, qint16(type), records, address, 1), command);
    }

    void clearCommandIsTenBytes()
    {
        QCOMPARE(ClearCommandHex("0001"), QString("27 43 3030303130303030"));
        QCOMPARE(ClearCommandHex("ABCD"), QString("27 43 4142434430303030"));
    }

    void textFileLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("asCharacters");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("digits as bytes") << "0102" << true << QByteArray("\x01\x02");
        QTest::newRow("digits as written") << "0102" << false << QByteArray("0102");
        QTest::newRow("lone digit padded") << "A" << true << QByteArray("\x0A");
        QTest::newRow("lower case read as hex") << "ff 0a" << true << QByteArray("\xFF\x0A");
        QTest::newRow("spaces and breaks dropped") << "4 1\r\n42" << false << QByteArray("4142");
    }
    void textFileLines()
    {
        QFETCH(QString, line);
        QFETCH(bool, asCharacters);
        QFETCH(QByteArray, wire);
        QCOMPARE(TextFileLineBytes(line, asCharacters), wire);
    }

    void rawDataHeader()
    {
        QTemporaryFile upper, lower;
        QVERIFY(upper.open() && lower.open());
        upper.write("RAW DATA0102");
        lower.write("raw data0102");
        upper.flush();
        lower.flush();
        QCOMPARE(ReadFileHeader(upper.fileName()), RawDataHeader);
        QVERIFY(ReadFileHeader(lower.fileName()) != RawDataHeader);
        QVERIFY(ReadFileHeader("/no/such/file").isEmpty());
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
        QCOMPARE(shell.messages.size(), asked ? 3 : 0);
        if (asked) {
            QCOMPARE(shell.messages[0].title, QString("Download Picture Message"));
            QCOMPARE(shell.messages[0].text,
                     QString("Image file type does not match Controller or Controller Setting.\r"
                             "Do you wish to download image file anyway?"));
            QCOMPARE(shell.messages[1].text,
                     QString("Attribute type does not match Controller or Controller Setting.\r"
                             "Do you wish to download attributes anyway?"));
            QCOMPARE(shell.messages[2].text,
                     QString("Image file type does not match Controller or Controller Setting.\r"
                             "Do you wish to attempt to clear address anyway?"));
            QCOMPARE(int(shell.messages[0].buttons), int(MessageButtons::YesNo));
        }
    }
};

QTEST_GUILESS_MAIN(TestSwitchCommands)
#include "tst_switchcommands.moc"
