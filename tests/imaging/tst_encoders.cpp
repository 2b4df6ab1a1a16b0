#include "Decoders.h"
#include "DeviceFormat.h"
#include "Encoders.h"
#include "FileClassification.h"
#include "ImagingTestSupport.h"
#include "LinkFakes.h"
#include "PictureEncoding.h"
#include "SamplePictures.h"

#include <QBuffer>
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString repeat(const char* hex, qsizetype times)
{
    return QString::fromLatin1(hex).repeated(times);
}

// What the switch shows of a bitmap file downloaded as `typeCode`, an LCD 36x24 picture with its
// white back-light on; a null image when the file gave a message instead.
QImage ShownOnSwitch(const QString& path, qint16 typeCode, bool leftToRight = true)
{
    AppState state;
    state.TypeCode = typeCode;
    state.LeftToRightFlag = leftToRight;
    PictureFileRecord record;
    record.Path = path;
    record.LEDoff = QStringLiteral("0");
    record.LEDon = QStringLiteral("7");
    RecordingShell prompter;
    const QString hex = EncodeDownloadBlock(record, state, prompter);
    if (!prompter.messages.isEmpty())
        return {};
    return DecodeSwitchPicture(typeCode, QByteArray::fromHex(hex.toLatin1()));
}

// A picture of one fill but for the stored bytes at `at` (rows bottom first, padding included).
BitmapLayout patched(BitmapLayout layout, int at, const QByteArray& bytes)
{
    layout.Pixels.replace(at, bytes.size(), bytes);
    return layout;
}

const QByteArray Red("\x00\x00\xff", 3);

using FileEncoder = QString (*)(const QString&, const QString&, const QString&, AppState&,
                                Prompter&);

// A random picture of a display's size as Qt's own BMP writer stores it.
struct QtPicture
{
    int TypeCode;
    int TrailingBytes;
    bool Resolution; // Qt's 3780 dots per metre kept, or both fields cleared
    bool WhiteFirst; // palette order of a 1-bit picture
    bool LeftToRight = true;

    bool oneBit() const { return TypeCode == 1 || TypeCode == 2 || TypeCode == 5; }
};

QByteArray qtBitmap(const QtPicture& c, QRandomGenerator& random)
{
    QImage image(DisplaySize(qint16(c.TypeCode)),
                 c.oneBit() ? QImage::Format_Mono : QImage::Format_RGB888);
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    if (c.oneBit())
        image.setColorTable(c.WhiteFirst ? QList<QRgb>{white, black} : QList<QRgb>{black, white});
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, c.oneBit() ? random.bounded(2) : random.generate() | 0xff000000);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    if (!c.Resolution)
        bytes.replace(38, 8, QByteArray(8, 0));
    return bytes + QByteArray(c.TrailingBytes, 0);
}

} // namespace

class EncodersTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void exactBytes_data()
    {
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<bool>("leftToRight");
        QTest::addColumn<BitmapLayout>("layout");
        QTest::addColumn<QString>("expected");
        QTest::newRow("LCD 36x24 column 33 of the bottom row")
            << 1 << true << patched(MonoSpec(36, 24, char(0xff)), 4, "\x7f")
            << repeat("00", 119) + "80";
        QTest::newRow("LCD 64x32 each row right to left")
            << 2 << true
            << patched(MonoSpec(64, 32, char(0xff)), 31 * 8, "\x01\x02\x04\x08\x10\x20\x40\x80")
            << "7FBFDFEFF7FBFDFE" + repeat("00", 248);
        QTest::newRow("OLED bottom-left pixel mirrored")
            << 3 << false << patched(ColourSpec(64, 48), 0, Red)
            << repeat("0000", 47 * 64 + 63) + "001F";
        // 1872 pixels cut in 64-pixel pieces from the start, pieces last first: the short piece
        // of 16 pixels leads. Mirroring re-cuts that stream in 64-pixel pieces from its start.
        BitmapLayout oled52 = patched(ColourSpec(52, 36), 0, Red);
        oled52.Trailing = QByteArray(2, 0);
        QTest::newRow("OLED 52x36 first stored pixel")
            << 4 << true << oled52 << repeat("0000", 1808) + "001F" + repeat("0000", 63);
        QTest::newRow("OLED 52x36 first stored pixel mirrored")
            << 4 << false << oled52 << repeat("0000", 1839) + "001F" + repeat("0000", 32);
        BitmapLayout monoTop = patched(MonoSpec(96, 64, 0), 63 * 12, "\x80");
        QTest::newRow("MONO top row first") << 5 << true << monoTop << "80" + repeat("00", 767);
        monoTop.XPelsPerMeter = 3780;
        QTest::newRow("MONO inverted, ignores L to R")
            << 5 << false << monoTop << "7F" + repeat("FF", 767);
        QTest::newRow("COLOR bottom-left red mirrored")
            << 6 << false << patched(ColourSpec(96, 64), 0, Red)
            << repeat("0000", 63 * 96 + 95) + "001F";
        QTest::newRow("COLOR top-right (08,04,08)")
            << 6 << true << patched(ColourSpec(96, 64), (96 * 64 - 1) * 3, "\x08\x04\x08")
            << repeat("0000", 95) + "0821" + repeat("0000", 63 * 96);
        // Width and height are never looked at; the bytes are taken as they stand.
        QTest::newRow("short file, header lying about its size")
            << 2 << true
            << BitmapLayout{1, 1, 1, 0, 0, {0, 0xffffff}, QByteArray("\x0f\x30", 2), {}} << "CFF0";
    }
    void exactBytes()
    {
        QFETCH(int, typeCode);
        QFETCH(bool, leftToRight);
        QFETCH(BitmapLayout, layout);
        BitmapImage image;
        QVERIFY(ParseBitmap(BuildBitmap(layout), qint16(typeCode), image));
        QTEST(PictureHexText(qint16(typeCode), image, leftToRight), "expected");
    }

    void fileEncoders_data()
    {
        QTest::addColumn<FileEncoder>("encode");
        QTest::addColumn<QString>("title");
        QTest::newRow("LCD 36x24") << &EncodeLcd36x24 << "36x24 Download Message";
        QTest::newRow("LCD 64x32") << &EncodeLcd64x32 << "64x32 Download Message";
        QTest::newRow("OLED") << &EncodeOled << "OLED Download Message";
        QTest::newRow("MONO 96x64") << &EncodeMono96x64 << "96x64 Download Message";
        QTest::newRow("COLOR 96x64") << &EncodeColor96x64 << "OLED Download Message";
    }
    // Encoded data passes through; a file is named by folder and name or by its whole path; an
    // unreadable one is reported under the encoder's title and gives "" whatever the fallback.
    void fileEncoders()
    {
        QFETCH(FileEncoder, encode);
        QVERIFY(WriteFile(m_dir.filePath("any.bmp"), BuildBitmap(ColourSpec(96, 64))));
        AppState state;
        RecordingShell prompter;
        QCOMPARE(encode("", "ignored.bmp", "not hex!", state, prompter), "not hex!");
        const QString whole = encode(m_dir.filePath("any.bmp"), "", "x", state, prompter);
        QVERIFY(!whole.isEmpty());
        QCOMPARE(encode(m_dir.path() + "/", "any.bmp", "x", state, prompter), whole);
        QVERIFY(prompter.messages.isEmpty());
        QCOMPARE(encode(m_dir.path() + "/", "missing.bmp", "x", state, prompter), "");
        QCOMPARE(prompter.messageTexts(),
                 QStringList{"Download failed. The selected item is an invalid picture."});
        QTEST(prompter.messages[0].title, "title");
        QCOMPARE(prompter.messages[0].icon, MessageIcon::Information);
    }

    // The inversion rests on the resolution fields alone and is decided only by a read while the
    // current type is MONO 96x64; reads under other types keep what the last mono read decided.
    void monoInversion_data()
    {
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<QList<int>>("pelsPerMeter");
        QTest::addColumn<bool>("before");
        QTest::addColumn<bool>("inverted");
        QTest::newRow("mono, no resolution") << 5 << QList<int>{0, 0} << true << false;
        QTest::newRow("mono, horizontal") << 5 << QList<int>{3780, 0} << false << true;
        QTest::newRow("mono, vertical") << 5 << QList<int>{0, 2835} << false << true;
        QTest::newRow("mono, negative") << 5 << QList<int>{-1, 0} << false << true;
        QTest::newRow("other type keeps inverted") << 3 << QList<int>{0, 0} << true << true;
        QTest::newRow("other type keeps plain") << 1 << QList<int>{3780, 3780} << false << false;
    }
    void monoInversion()
    {
        QFETCH(int, typeCode);
        QFETCH(QList<int>, pelsPerMeter);
        QFETCH(bool, before);
        QFETCH(bool, inverted);
        BitmapLayout layout = MonoSpec(96, 64, 0);
        layout.XPelsPerMeter = pelsPerMeter[0];
        layout.YPelsPerMeter = pelsPerMeter[1];
        const QString path = m_dir.filePath(QStringLiteral("%1.bmp").arg(QTest::currentDataTag()));
        QVERIFY(WriteFile(path, BuildBitmap(layout)));
        AppState state;
        state.TypeCode = qint16(typeCode);
        state.MonoInvertFlag = before;
        RecordingShell prompter;
        QCOMPARE(EncodeMono96x64(path, "", "", state, prompter),
                 repeat(inverted ? "FF" : "00", 768));
        QCOMPARE(state.MonoInvertFlag, inverted);
    }

    void qtWrittenPictures_data()
    {
        QTest::addColumn<QtPicture>("c");
        QTest::newRow("LCD 36x24") << QtPicture{1, 0, true, false};
        QTest::newRow("LCD 36x24, white first") << QtPicture{1, 0, false, true};
        QTest::newRow("LCD 64x32, white first") << QtPicture{2, 0, false, true};
        QTest::newRow("OLED 64x48, 9270 bytes") << QtPicture{3, 0, false, false};
        QTest::newRow("OLED 64x48, 9272 bytes, mirrored") << QtPicture{3, 2, false, false, false};
        QTest::newRow("OLED 52x36, 5672 bytes") << QtPicture{4, 2, false, false};
        QTest::newRow("MONO, 830 bytes") << QtPicture{5, 0, false, false};
        QTest::newRow("MONO, 832 bytes, white first") << QtPicture{5, 2, false, true};
        QTest::newRow("MONO, 832 bytes, resolution") << QtPicture{5, 2, true, false};
        QTest::newRow("COLOR, 18486 bytes") << QtPicture{6, 0, false, false};
        QTest::newRow("COLOR, 18488 bytes, mirrored") << QtPicture{6, 2, false, false, false};
    }

    // Files from an independent writer show on the switch as Qt reads them: colours cut to 5-6-5
    // bits, mirrored without "L to R". The palette is never consulted: a stored 1 bit shows bright
    // and a 0 bit dark, inverted for a mono picture saved with a resolution.
    void qtWrittenPictures()
    {
        QFETCH(QtPicture, c);
        const auto deviceBits = [](QRgb rgb) { // what a colour display keeps: 5-6-5 bits
            return QList<int>{qRed(rgb) >> 3, qGreen(rgb) >> 2, qBlue(rgb) >> 3};
        };
        const qint16 type = qint16(c.TypeCode);
        QRandomGenerator random(quint32(qHash(QByteArray(QTest::currentDataTag()))));
        const QString path =
            m_dir.filePath(QStringLiteral("qt%1.bmp").arg(QTest::currentDataTag()));
        QVERIFY(WriteFile(path, qtBitmap(c, random)));
        QCOMPARE(ClassifyLength(QFileInfo(path).size()).TypeCode, type);
        const QImage read(path);
        const QImage shown = ShownOnSwitch(path, type, c.LeftToRight);
        QCOMPARE(shown.size(), read.size());
        const bool inverted = type == SwitchTypeCode::Mono96x64 && c.Resolution;
        for (int y = 0; y < read.height(); ++y)
            for (int x = 0; x < read.width(); ++x) {
                const QRgb original = read.pixel(c.LeftToRight ? x : read.width() - 1 - x, y);
                const QRgb got = shown.pixel(x, y);
                if (!c.oneBit()) {
                    QCOMPARE(deviceBits(got), deviceBits(original));
                    continue;
                }
                const bool storedOne = (qGray(original) > 128) != c.WhiteFirst;
                QCOMPARE(qGray(got) > 128, storedOne != inverted);
            }
    }

    // An LCD 36x24 download carries the off and on LED digits and four zero bytes; the back-light
    // shows the "on" colour, the LED byte's low nibble: bit 0 red, bit 1 green, bit 2 blue.
    void lcd36x24LedByte()
    {
        QCOMPARE(Lcd36x24PictureBlock("AB", "6", "1"), "AB6100000000");
        QByteArray block(PayloadBytes(SwitchTypeCode::Lcd36x24), 0); // no segment driven
        block[DeviceFormat::Lcd36x24PictureBytes] = char(0x61);      // off green and blue, on red
        const QRgb backlight = DecodeSwitchPicture(SwitchTypeCode::Lcd36x24, block).pixel(5, 5);
        QCOMPARE(
            (QList<bool>{qRed(backlight) > 128, qGreen(backlight) > 128, qBlue(backlight) > 128}),
            (QList<bool>{true, false, false}));
    }

    // Missing samples are added as files the operator may change; his own versions are kept.
    void seedingAFolder()
    {
        QTemporaryDir dir;
        const QDir folder(dir.filePath("Vantrel/data"));
        QVERIFY(SeedSamplePictures(folder.path()));
        const QStringList samples = SamplePicturePaths();
        QCOMPARE(folder.entryList(QDir::Files).size(), samples.size());
        const QString koala = folder.filePath(StartupPictureName);
        QVERIFY(QFileInfo(koala).permissions() & QFile::WriteOwner);

        QVERIFY(WriteFile(koala, "mine"));
        QVERIFY(QFile::remove(folder.filePath(QFileInfo(samples.last()).fileName())));
        QVERIFY(SeedSamplePictures(folder.path()));
        QCOMPARE(QFileInfo(koala).size(), 4);
        QCOMPARE(folder.entryList(QDir::Files).size(), samples.size());

        QVERIFY(!SeedSamplePictures(koala + "/below")); // a file stands where the folder goes
    }
};

QTEST_GUILESS_MAIN(EncodersTest)
#include "tst_encoders.moc"
