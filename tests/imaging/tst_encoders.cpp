#include "Encoders.h"
#include "ImagingTestSupport.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

using FileEncoder = QString (*)(const QString&, const QString&, const QString&, AppState&,
                                Prompter&);

FileEncoder encoderFor(int typeCode)
{
    switch (typeCode) {
    case 1:
        return EncodeLcd36x24;
    case 2:
        return EncodeLcd64x32;
    case 3:
    case 4:
        return EncodeOled;
    case 5:
        return EncodeMono96x64;
    default:
        return EncodeColor96x64;
    }
}

QString repeat(const char* hex, qsizetype times)
{
    return QString::fromLatin1(hex).repeated(times);
}

// A 64x32 or 36x24 1-bit file whose stored rows are given bottom row first.
BitmapLayout lcdRows(int width, int height, const QList<QByteArray>& rowsFromBottom, char fill)
{
    BitmapLayout layout = MonoSpec(width, height, fill);
    for (int r = 0; r < rowsFromBottom.size(); ++r)
        layout.Pixels.replace(r * 8, rowsFromBottom[r].size(), rowsFromBottom[r]);
    return layout;
}

// A colour picture, black but for one pixel counted in stored order (bottom row first).
BitmapLayout colourWithPixel(int width, int height, int storedIndex, QByteArray bgr)
{
    BitmapLayout layout = ColourSpec(width, height);
    const int stride = ((width * 3 + 3) / 4) * 4;
    layout.Pixels.replace((storedIndex / width) * stride + (storedIndex % width) * 3, 3, bgr);
    return layout;
}

const QByteArray Red("\x00\x00\xff", 3);

} // namespace

class EncodersTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_files = 0;

    QString encodeFile(int typeCode, const QByteArray& file, bool leftToRight,
                       RecordingPrompter& prompter)
    {
        const QString name = QStringLiteral("p%1.bmp").arg(++m_files);
        if (!WriteFile(m_dir.filePath(name), file))
            return QStringLiteral("cannot write");
        AppState state;
        state.TypeCode = qint16(typeCode);
        state.LeftToRightFlag = leftToRight ? 1 : 0;
        return encoderFor(typeCode)(m_dir.path() + "/", name, QString(), state, prompter);
    }

    QString encodeFile(int typeCode, const BitmapLayout& layout, bool leftToRight = true)
    {
        RecordingPrompter prompter;
        const QString hex = encodeFile(typeCode, BuildBitmap(layout), leftToRight, prompter);
        return prompter.shown().isEmpty() ? hex : QStringLiteral("message shown");
    }

private Q_SLOTS:
    void exactBytes_data()
    {
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<bool>("leftToRight");
        QTest::addColumn<BitmapLayout>("layout");
        QTest::addColumn<QString>("expected");

        QTest::newRow("LCD 36x24 all black")
            << 1 << true << MonoSpec(36, 24, 0) << repeat("FF", 120);
        QTest::newRow("LCD 36x24 all white")
            << 1 << true << MonoSpec(36, 24, char(0xff)) << repeat("00", 120);
        QTest::newRow("LCD 36x24 column 33 of the bottom row")
            << 1 << true << lcdRows(36, 24, {QByteArray("\xff\xff\xff\xff\x7f")}, char(0xff))
            << repeat("00", 119) + "80";
        // Bytes 6 to 8 of a row are dropped; the 4 bits after pixel 36 are kept as stored.
        QTest::newRow("LCD 36x24 row padding")
            << 1 << true
            << lcdRows(36, 24,
                       QList<QByteArray>(24, QByteArray("\xff\xff\xff\xff\xf0\x00\x00\x00", 8)), 0)
            << repeat("000000000F", 24);
        QTest::newRow("LCD 36x24 top row first")
            << 1 << true
            << lcdRows(
                   36, 24,
                   {QByteArray("\x0f"), QByteArray("\xff"), QByteArray("\xff"), QByteArray("\xff")},
                   char(0xff))
            << repeat("00", 115) + "F000000000";
        QTest::newRow("LCD 64x32 all black")
            << 2 << true << MonoSpec(64, 32, 0) << repeat("FF", 256);
        QTest::newRow("LCD 64x32 each row right to left")
            << 2 << true
            << lcdRows(64, 32,
                       QList<QByteArray>(31, QByteArray(8, char(0xff))) +
                           QList<QByteArray>{QByteArray("\x01\x02\x04\x08\x10\x20\x40\x80")},
                       char(0xff))
            << "7FBFDFEFF7FBFDFE" + repeat("00", 248);
        QTest::newRow("OLED channels keep their top bits")
            << 3 << true << ColourSpec(64, 48, QByteArray("\x08\x04\x08", 3))
            << repeat("0821", 3072);
        QTest::newRow("OLED pure red")
            << 3 << true << ColourSpec(64, 48, Red) << repeat("001F", 3072);
        QTest::newRow("OLED pure blue")
            << 3 << true << ColourSpec(64, 48, QByteArray("\xff\x00\x00", 3))
            << repeat("F800", 3072);
        QTest::newRow("OLED white")
            << 3 << true << ColourSpec(64, 48, QByteArray(3, char(0xff))) << repeat("FFFF", 3072);
        QTest::newRow("OLED bottom-left pixel")
            << 3 << true << colourWithPixel(64, 48, 0, Red)
            << repeat("0000", 47 * 64) + "001F" + repeat("0000", 63);
        QTest::newRow("OLED bottom-left pixel mirrored")
            << 3 << false << colourWithPixel(64, 48, 0, Red)
            << repeat("0000", 47 * 64 + 63) + "001F";
        // 1872 pixels cut in 64-pixel pieces from the start, pieces last first: the short piece
        // of 16 pixels leads.
        BitmapLayout oled52 = colourWithPixel(52, 36, 0, Red);
        oled52.Trailing = QByteArray(2, 0);
        QTest::newRow("OLED 52x36 first stored pixel")
            << 4 << true << oled52 << repeat("0000", 1808) + "001F" + repeat("0000", 63);
        // Mirroring re-cuts the stream in 64-pixel pieces from its new start.
        QTest::newRow("OLED 52x36 first stored pixel mirrored")
            << 4 << false << oled52 << repeat("0000", 1839) + "001F" + repeat("0000", 32);
        BitmapLayout monoTop = MonoSpec(96, 64, 0);
        monoTop.Pixels[63 * 12] = char(0x80);
        QTest::newRow("MONO no resolution") << 5 << true << monoTop << "80" + repeat("00", 767);
        monoTop.XPelsPerMeter = monoTop.YPelsPerMeter = 3780;
        QTest::newRow("MONO with resolution") << 5 << true << monoTop << "7F" + repeat("FF", 767);
        QTest::newRow("MONO ignores L to R") << 5 << false << monoTop << "7F" + repeat("FF", 767);
        QTest::newRow("COLOR bottom-left red")
            << 6 << true << colourWithPixel(96, 64, 0, Red)
            << repeat("0000", 63 * 96) + "001F" + repeat("0000", 95);
        QTest::newRow("COLOR bottom-left red mirrored")
            << 6 << false << colourWithPixel(96, 64, 0, Red)
            << repeat("0000", 63 * 96 + 95) + "001F";
        QTest::newRow("COLOR top-right (08,04,08)")
            << 6 << true << colourWithPixel(96, 64, 96 * 64 - 1, QByteArray("\x08\x04\x08", 3))
            << repeat("0000", 95) + "0821" + repeat("0000", 63 * 96);
        QTest::newRow("short file gives a short result")
            << 2 << true
            << BitmapLayout{64, 32, 1, 0, 0, {0, 0xffffff}, QByteArray("\x0f\x30", 2), {}}
            << "CFF0";
    }

    void exactBytes()
    {
        QFETCH(int, typeCode);
        QFETCH(bool, leftToRight);
        QFETCH(BitmapLayout, layout);
        QTEST(encodeFile(typeCode, layout, leftToRight), "expected");
    }

    // Files of the same picture that differ only in what the encoder must not look at.
    void sameResult_data()
    {
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<BitmapLayout>("first");
        QTest::addColumn<BitmapLayout>("second");
        auto randomBytes = [](qsizetype n) {
            QByteArray bytes(n, Qt::Uninitialized);
            for (char& b : bytes)
                b = char(QRandomGenerator::global()->bounded(256));
            return bytes;
        };
        BitmapLayout lcd = MonoSpec(36, 24, 0);
        lcd.Pixels = randomBytes(lcd.Pixels.size());
        BitmapLayout lcdSwapped = lcd;
        lcdSwapped.Palette = {0xffffff, 0x000000};
        QTest::newRow("LCD 36x24 palette order") << 1 << lcd << lcdSwapped;
        BitmapLayout lcd64 = MonoSpec(64, 32, 0);
        lcd64.Pixels = randomBytes(lcd64.Pixels.size());
        BitmapLayout lcd64Swapped = lcd64;
        lcd64Swapped.Palette = {0xff0000, 0x00ff00};
        lcd64Swapped.Width = 17;
        QTest::newRow("LCD 64x32 palette and width") << 2 << lcd64 << lcd64Swapped;
        BitmapLayout oled = ColourSpec(64, 48);
        oled.Pixels = randomBytes(oled.Pixels.size());
        BitmapLayout oledTrailing = oled;
        oledTrailing.Trailing = QByteArray("\x12\x34", 2);
        QTest::newRow("OLED 64x48 9270 and 9272 bytes") << 3 << oled << oledTrailing;
        BitmapLayout mono = MonoSpec(96, 64, 0);
        mono.Pixels = randomBytes(mono.Pixels.size());
        mono.XPelsPerMeter = 2835;
        BitmapLayout monoTrailing = mono;
        monoTrailing.Trailing = QByteArray("\xff\xff", 2);
        monoTrailing.Palette = {0xffffff, 0x000000};
        QTest::newRow("MONO 830 and 832 bytes, palette order") << 5 << mono << monoTrailing;
        BitmapLayout colour = ColourSpec(96, 64);
        colour.Pixels = randomBytes(colour.Pixels.size());
        BitmapLayout colourTrailing = colour;
        colourTrailing.Trailing = QByteArray("\xab\xcd", 2);
        QTest::newRow("COLOR 18486 and 18488 bytes") << 6 << colour << colourTrailing;
    }

    void sameResult()
    {
        QFETCH(int, typeCode);
        QFETCH(BitmapLayout, first);
        QFETCH(BitmapLayout, second);
        const QString a = encodeFile(typeCode, first);
        QCOMPARE(a.size(), 2 * (typeCode == 1 ? 120 : PayloadBytesForTest(typeCode)));
        QCOMPARE(encodeFile(typeCode, second), a);
    }

    // The inversion is decided by a read while the current type is MONO 96x64; a read under any
    // other type keeps the flag the last mono read left.
    void monoInversionFollowsCurrentType()
    {
        BitmapLayout layout = MonoSpec(96, 64, 0);
        layout.XPelsPerMeter = 3780;
        QVERIFY(WriteFile(m_dir.filePath("mono.bmp"), BuildBitmap(layout)));
        RecordingPrompter prompter;
        AppState state;
        QCOMPARE(EncodeMono96x64(m_dir.filePath("mono.bmp"), "", "", state, prompter),
                 repeat("00", 768)); // never read as mono yet
        state.TypeCode = SwitchTypeCode::Mono96x64;
        QCOMPARE(EncodeMono96x64(m_dir.filePath("mono.bmp"), "", "", state, prompter),
                 repeat("FF", 768));
        state.TypeCode = SwitchTypeCode::Oled64x48;
        QCOMPARE(EncodeMono96x64(m_dir.filePath("mono.bmp"), "", "", state, prompter),
                 repeat("FF", 768));
    }

    void encoderShape_data()
    {
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<QString>("title");
        QTest::newRow("LCD 36x24") << 1 << "36x24 Download Message";
        QTest::newRow("LCD 64x32") << 2 << "64x32 Download Message";
        QTest::newRow("OLED") << 3 << "OLED Download Message";
        QTest::newRow("MONO 96x64") << 5 << "96x64 Download Message";
        QTest::newRow("COLOR 96x64") << 6 << "OLED Download Message";
    }

    void encoderShape()
    {
        QFETCH(int, typeCode);
        QFETCH(QString, title);
        const FileEncoder encode = encoderFor(typeCode);
        AppState state;
        state.TypeCode = qint16(typeCode);
        RecordingPrompter prompter;

        // Data already encoded passes through untouched, even when it is not hex.
        QCOMPARE(encode("", "ignored.bmp", "not hex!", state, prompter),
                 QStringLiteral("not hex!"));
        QVERIFY(prompter.shown().isEmpty());

        // A folder and a name, or a whole path and no name.
        QVERIFY(WriteFile(m_dir.filePath("shape.bmp"), BuildBitmap(ColourSpec(96, 64))));
        const QString viaFolder =
            encode(m_dir.path() + "/", "shape.bmp", "fallback", state, prompter);
        QCOMPARE(encode(m_dir.filePath("shape.bmp"), "", "fallback", state, prompter), viaFolder);
        QVERIFY(!viaFolder.isEmpty());
        QVERIFY(prompter.shown().isEmpty());

        // Unreadable: the operator is told, and the result is empty whatever the fallback.
        QCOMPARE(encode(m_dir.path() + "/", "missing.bmp", "fallback", state, prompter), QString());
        QVERIFY(WriteFile(m_dir.filePath("tiny.bmp"), "BM\x10"));
        QCOMPARE(encode(m_dir.filePath("tiny.bmp"), "", "fallback", state, prompter), QString());
        QCOMPARE(prompter.shown().size(), 2);
        for (const auto& shown : prompter.shown()) {
            QCOMPARE(shown.Text,
                     QStringLiteral("Download failed. The selected item is an invalid picture."));
            QCOMPARE(shown.Title, title);
            QCOMPARE(shown.Icon, MessageIcon::Information);
        }
    }

    void lcd36x24PictureBlock()
    {
        const QString block = Lcd36x24PictureBlock(repeat("AB", 120), "3", "5");
        QCOMPARE(block.size(), 250);
        QVERIFY(block.endsWith(QStringLiteral("AB3500000000")));
    }

private:
    static int PayloadBytesForTest(int typeCode)
    {
        const int sizes[] = {0, 125, 256, 6144, 3744, 768, 12288};
        return sizes[typeCode];
    }
};

QTEST_GUILESS_MAIN(EncodersTest)
#include "tst_encoders.moc"
