// Bitmaps written by Qt's own BMP writer, checked against the pixels Qt reads back from the same
// files: the encoders must agree with an independent reader on row order, bit polarity, mirroring
// and the 16-bit colour truncation, and the decoders must show what the display can show.
#include "Decoders.h"
#include "Encoders.h"
#include "ImagingTestSupport.h"

#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <numeric>

namespace {

struct Case
{
    int TypeCode;
    QSize Size;
    int TrailingBytes;
    qint32 DotsPerMeter;     // 0 or Qt's default; decides the mono inversion
    QList<QRgb> ColourTable; // 1-bit pictures only
};

QImage randomPicture(const Case& c, QRandomGenerator& random)
{
    if (!c.ColourTable.isEmpty()) {
        QImage image(c.Size, QImage::Format_Mono);
        image.setColorTable(c.ColourTable);
        for (int y = 0; y < c.Size.height(); ++y)
            for (int x = 0; x < c.Size.width(); ++x)
                image.setPixel(x, y, random.bounded(2));
        return image;
    }
    QImage image(c.Size, QImage::Format_RGB888);
    for (int y = 0; y < c.Size.height(); ++y)
        for (int x = 0; x < c.Size.width(); ++x)
            image.setPixel(x, y, random.generate() | 0xff000000);
    return image;
}

// The order in which the colour displays receive the picture's pixels, built the long way: the
// stored pixels (bottom row first) cut into pieces from the start, the pieces put last first, and
// without "L to R" every piece of the result reversed.
QList<int> colourStreamOrder(QSize size, int piece, bool leftToRight)
{
    const int count = size.width() * size.height();
    QList<QList<int>> pieces;
    for (int from = 0; from < count; from += piece) {
        QList<int> p(qMin(piece, count - from));
        std::iota(p.begin(), p.end(), from);
        pieces.prepend(p);
    }
    QList<int> stream;
    for (const QList<int>& p : pieces)
        stream += p;
    if (!leftToRight)
        for (int from = 0; from < count; from += piece)
            std::reverse(stream.begin() + from, stream.begin() + qMin(count, from + piece));
    return stream;
}

quint16 expectedDevicePixel(QRgb rgb)
{
    return quint16((qBlue(rgb) >> 3) << 11 | (qGreen(rgb) >> 2) << 5 | qRed(rgb) >> 3);
}

// Where one pixel's bit sits in a 1-bit device picture.
bool deviceBit(int typeCode, const QByteArray& payload, int x, int y)
{
    const int byte = typeCode == 1   ? y * 5 + x / 8
                     : typeCode == 2 ? y * 8 + (7 - x / 8) // each row's bytes right to left
                                     : y * 12 + x / 8;
    return (quint8(payload[byte]) >> (7 - x % 8)) & 1;
}

} // namespace

class ForeignBitmapsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // Writes the picture with Qt, appends the trailing bytes, and returns the path. Qt always
    // stores a resolution (3780 when none is set); a picture without one has the two fields
    // cleared afterwards.
    QString save(const QImage& image, const Case& c, const QString& name)
    {
        const QString path = m_dir.filePath(name);
        if (!image.save(path, "BMP"))
            return {};
        QFile file(path);
        if (!file.open(QIODevice::ReadWrite))
            return {};
        QByteArray bytes = file.readAll();
        if (c.DotsPerMeter == 0)
            bytes.replace(38, 8, QByteArray(8, 0));
        bytes.append(QByteArray(c.TrailingBytes, 0));
        file.seek(0);
        return file.write(bytes) == bytes.size() ? path : QString();
    }

    QByteArray encodeForType(const Case& c, const QString& path, bool leftToRight)
    {
        AppState state;
        state.TypeCode = qint16(c.TypeCode);
        state.LeftToRightFlag = leftToRight;
        RecordingPrompter prompter;
        const QString hex = c.TypeCode == 1   ? EncodeLcd36x24(path, "", "", state, prompter)
                            : c.TypeCode == 2 ? EncodeLcd64x32(path, "", "", state, prompter)
                            : c.TypeCode == 5 ? EncodeMono96x64(path, "", "", state, prompter)
                            : c.TypeCode == 6 ? EncodeColor96x64(path, "", "", state, prompter)
                                              : EncodeOled(path, "", "", state, prompter);
        return prompter.shown().isEmpty() ? QByteArray::fromHex(hex.toLatin1()) : QByteArray();
    }

private Q_SLOTS:
    void qtWrittenBitmaps_data()
    {
        QTest::addColumn<Case>("c");
        QTest::addColumn<qint64>("fileLength");
        const QList<QRgb> blackFirst{qRgb(0, 0, 0), qRgb(255, 255, 255)};
        const QList<QRgb> whiteFirst{qRgb(255, 255, 255), qRgb(0, 0, 0)};
        QTest::newRow("LCD 36x24") << Case{1, {36, 24}, 0, 3780, blackFirst} << qint64(254);
        QTest::newRow("LCD 36x24, white first")
            << Case{1, {36, 24}, 0, 0, whiteFirst} << qint64(254);
        QTest::newRow("LCD 64x32") << Case{2, {64, 32}, 0, 3780, blackFirst} << qint64(318);
        QTest::newRow("LCD 64x32, white first")
            << Case{2, {64, 32}, 0, 0, whiteFirst} << qint64(318);
        QTest::newRow("OLED 64x48, 9270") << Case{3, {64, 48}, 0, 0, {}} << qint64(9270);
        QTest::newRow("OLED 64x48, 9272") << Case{3, {64, 48}, 2, 0, {}} << qint64(9272);
        QTest::newRow("OLED 52x36, 5672") << Case{4, {52, 36}, 2, 0, {}} << qint64(5672);
        QTest::newRow("MONO, no resolution") << Case{5, {96, 64}, 0, 0, blackFirst} << qint64(830);
        QTest::newRow("MONO, resolution") << Case{5, {96, 64}, 0, 3780, blackFirst} << qint64(830);
        QTest::newRow("MONO, 832, white first")
            << Case{5, {96, 64}, 2, 0, whiteFirst} << qint64(832);
        QTest::newRow("MONO, 832, resolution")
            << Case{5, {96, 64}, 2, 3780, blackFirst} << qint64(832);
        QTest::newRow("COLOR, 18486") << Case{6, {96, 64}, 0, 0, {}} << qint64(18486);
        QTest::newRow("COLOR, 18488") << Case{6, {96, 64}, 2, 0, {}} << qint64(18488);
    }

    // The encoded bytes, read with the documented device layout, hold what Qt reads.
    void qtWrittenBitmaps()
    {
        QFETCH(Case, c);
        QFETCH(qint64, fileLength);
        QRandomGenerator random(quint32(fileLength + c.DotsPerMeter));
        const QString path = save(randomPicture(c, random), c,
                                  QStringLiteral("%1.bmp").arg(QTest::currentDataTag()));
        QCOMPARE(QFileInfo(path).size(), fileLength);
        const QImage read(path);
        QCOMPARE(read.size(), c.Size);
        const bool colour = c.ColourTable.isEmpty();
        const bool inverted = c.TypeCode == 5 && c.DotsPerMeter != 0;
        for (bool leftToRight : {true, false}) {
            const QByteArray payload = encodeForType(c, path, leftToRight);
            QCOMPARE(payload.size(), c.TypeCode == 1 ? 120 : PayloadBytes(qint16(c.TypeCode)));
            const int w = c.Size.width();
            const int h = c.Size.height();
            if (colour) {
                const QList<int> order =
                    colourStreamOrder(c.Size, c.TypeCode == 6 ? 96 : 64, leftToRight);
                for (int k = 0; k < order.size(); ++k) {
                    const int x = order[k] % w;
                    const int y = h - 1 - order[k] / w;
                    const quint16 got =
                        quint16(quint8(payload[2 * k]) << 8 | quint8(payload[2 * k + 1]));
                    QCOMPARE(got, expectedDevicePixel(read.pixel(x, y)));
                }
                continue;
            }
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    // Qt reorders the palette it reads, so the stored bit is found from the
                    // colour. LCD segments are driven for bit 0; mono pixels light for bit 1.
                    const bool index = c.ColourTable.indexOf(read.pixel(x, y)) == 1;
                    const bool expected = c.TypeCode == 5 ? index != inverted : !index;
                    QCOMPARE(deviceBit(c.TypeCode, payload, x, y), expected);
                }
        }
    }

    // What the switch shows of an encoded picture is the picture as its display can show it:
    // colours cut to 5-6-5 bits, LCD pixels dark where the bitmap is black, mono pixels lit where
    // it is white (with the usual palette and no resolution).
    void roundTrip_data()
    {
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<bool>("leftToRight");
        QTest::newRow("LCD 36x24") << 1 << true;
        QTest::newRow("LCD 64x32") << 2 << true;
        QTest::newRow("OLED 64x48") << 3 << true;
        QTest::newRow("OLED 64x48 mirrored") << 3 << false;
        QTest::newRow("OLED 52x36") << 4 << true;
        QTest::newRow("MONO 96x64") << 5 << true;
        QTest::newRow("COLOR 96x64") << 6 << true;
        QTest::newRow("COLOR 96x64 mirrored") << 6 << false;
    }

    void roundTrip()
    {
        QFETCH(int, typeCode);
        QFETCH(bool, leftToRight);
        const QSize size = DisplaySize(qint16(typeCode));
        const bool oneBit = typeCode == 1 || typeCode == 2 || typeCode == 5;
        const int trailing = typeCode == 4 ? 2 : 0;
        const QList<QRgb> blackFirst{qRgb(0, 0, 0), qRgb(255, 255, 255)};
        QRandomGenerator random(quint32(typeCode * 7 + leftToRight));
        for (int round = 0; round < 10; ++round) {
            const Case c{typeCode, size, trailing, 0, oneBit ? blackFirst : QList<QRgb>{}};
            const QImage picture = randomPicture(c, random);
            const QString path = save(picture, c, QStringLiteral("round%1.bmp").arg(round));
            QByteArray payload = encodeForType(c, path, leftToRight);
            if (typeCode == 1)
                payload = QByteArray::fromHex(
                    Lcd36x24PictureBlock(QString::fromLatin1(payload.toHex().toUpper()), "0", "7")
                        .toLatin1());
            const QImage shown = DecodeSwitchPicture(qint16(typeCode), payload);
            QCOMPARE(shown.size(), size);
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x) {
                    const QRgb original = picture.pixel(leftToRight ? x : size.width() - 1 - x, y);
                    const QRgb got = shown.pixel(x, y);
                    if (oneBit) {
                        const bool white = qGray(original) > 128;
                        const bool bright = qGray(got) > 128;
                        QCOMPARE(bright, white);
                    } else {
                        QCOMPARE(qRed(got) >> 3, qRed(original) >> 3);
                        QCOMPARE(qGreen(got) >> 2, qGreen(original) >> 2);
                        QCOMPARE(qBlue(got) >> 3, qBlue(original) >> 3);
                    }
                }
        }
    }

    // The LCD 36x24 back-light follows the "on" LED colour of the picture block.
    void lcd36x24Backlight()
    {
        QByteArray block(125, 0); // all pixels clear: the whole panel shows the back-light
        block[120] = char(0x41);  // off colour red (high nibble), on colour blue... bit 0 = red
        const QImage redOn = DecodeSwitchPicture(1, block);
        QCOMPARE(qRed(redOn.pixel(0, 0)), 255);
        QVERIFY(qBlue(redOn.pixel(0, 0)) < 128);
        block[120] = char(0x16); // on colour green + blue
        const QImage cyanOn = DecodeSwitchPicture(1, block);
        QVERIFY(qRed(cyanOn.pixel(5, 5)) < 128);
        QCOMPARE(qGreen(cyanOn.pixel(5, 5)), 255);
        QCOMPARE(qBlue(cyanOn.pixel(5, 5)), 255);
    }
};

QTEST_GUILESS_MAIN(ForeignBitmapsTest)
#include "tst_foreignbitmaps.moc"
