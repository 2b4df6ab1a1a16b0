// Damaged files: truncated, padded or corrupted anywhere, headers included. No reader, encoder or
// decoder may crash or read out of bounds (this test also runs under the sanitizers), the
// encoders must still agree with the documented text walk on whatever the reader accepted, and a
// switch data file accepted must load as one whole picture that saves back to the same file.
#include "Decoders.h"
#include "Encoders.h"
#include "ImagingTestSupport.h"
#include "LiteralEncoders.h"
#include "SwitchDataFile.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

namespace {

// One picture of every display's shape, and two 8-bit ones whose palette texts have odd and even
// digit counts: a full one, and a short one whose entries, read over its pixels, are mostly black.
QList<QByteArray> validFiles()
{
    BitmapLayout eightBit{128, 64, 8, 0, 0, {}, QByteArray(8192, 0), {}};
    for (int i = 0; i < 8192; ++i)
        eightBit.Pixels[i] = char(i * 7);
    const QByteArray withoutPalette = BuildBitmap(eightBit).left(300);
    for (quint32 i = 0; i < 256; ++i)
        eightBit.Palette << i * 0x010203;
    return {BuildBitmap(MonoSpec(36, 24, char(0x3c))),
            BuildBitmap(MonoSpec(64, 32, char(0xa5))),
            BuildBitmap(MonoSpec(96, 64, char(0x0f))),
            BuildBitmap(ColourSpec(64, 48, QByteArray("\x10\x80\xf0", 3))),
            BuildBitmap(ColourSpec(52, 36, QByteArray("\x01\x02\x03", 3))),
            BuildBitmap(ColourSpec(96, 64, QByteArray("\xff\x00\x7f", 3))),
            BuildBitmap(eightBit),
            withoutPalette};
}

// Sets a header field that decides how a reader walks the file to a value likely to mislead it.
void corruptField(QByteArray& file, QRandomGenerator& random)
{
    const int fields[][2] = {{2, 4},  {10, 4}, {14, 4}, {18, 4}, {22, 4},
                             {28, 2}, {38, 4}, {42, 4}, {46, 4}};
    const quint32 values[] = {0,  1,  4,    8,          16,         24,         32,
                              54, 62, 1078, 0x7fffffff, 0x80000000, 0xffffffff, random.generate()};
    const auto& field = fields[random.bounded(int(std::size(fields)))];
    const quint32 value = values[random.bounded(int(std::size(values)))];
    for (int i = 0; i < field[1] && field[0] + i < file.size(); ++i)
        file[field[0] + i] = char(value >> (8 * i));
}

QByteArray mutate(QByteArray file, QRandomGenerator& random)
{
    for (int step = random.bounded(1, 4); step > 0; --step) {
        switch (random.bounded(4)) {
        case 0:
            file.truncate(random.bounded(file.size() + 1));
            break;
        case 1:
            file.append(QByteArray(random.bounded(40), char(random.bounded(256))));
            break;
        case 2:
            for (int i = random.bounded(20); i >= 0 && !file.isEmpty(); --i)
                file[random.bounded(file.size())] = char(random.bounded(256));
            break;
        default:
            corruptField(file, random);
            break;
        }
    }
    return file;
}

} // namespace

class FuzzTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void damagedFilesInMemory()
    {
        QRandomGenerator random(77);
        const QList<QByteArray> valid = validFiles();
        const QRegularExpression hexDigits(QStringLiteral("^[0-9A-F]*$"));
        // The longest result of each type's conversion (OLED 52x36 shares the 64x48 one).
        const int longest[] = {0, 240, 512, 12288, 12288, 1536, 24576};
        int accepted = 0;
        for (int round = 0; round < 2000; ++round) {
            const QByteArray file = mutate(valid[random.bounded(int(valid.size()))], random);
            BitmapImage image;
            if (!ParseBitmap(file, qint16(random.bounded(1, 7)), image))
                continue;
            ++accepted;
            QVERIFY(image.Pixels.size() <= file.size());
            for (qint16 type = 1; type <= 6; ++type) {
                const QString hex = PictureHexText(type, image, round % 2);
                QVERIFY(hexDigits.match(hex).hasMatch());
                QVERIFY(hex.size() <= longest[type]);
                if (round % 8 == 0)
                    QCOMPARE(hex, Literal::ForType(type, image, round % 2));
            }
        }
        QVERIFY(accepted > 1000); // most damage leaves a readable file
    }

    void damagedSwitchDataFiles()
    {
        QRandomGenerator random(91);
        QList<QByteArray> valid;
        for (qint16 type = 1; type <= 6; ++type) {
            QByteArray picture(PayloadBytes(type), '\0');
            for (char& byte : picture)
                byte = char(random.bounded(256));
            valid << SwitchDataFileBytes(type, picture);
        }
        int accepted = 0;
        for (int round = 0; round < 2000; ++round) {
            const QByteArray file = mutate(valid[random.bounded(int(valid.size()))], random);
            const qint16 type = SwitchDataFileType(file.left(8), file.size());
            // Whatever the file, and under any type when it is none: no crash, no stray read.
            const qint16 loadedAs = type != 0 ? type : qint16(random.bounded(0, 8));
            const QString hex = SwitchDataHexText(loadedAs, file);
            const QImage shown = DecodeSwitchPicture(loadedAs, QByteArray::fromHex(hex.toLatin1()));
            TextSwitchDataHexText(file);
            if (type == 0)
                continue;
            ++accepted;
            QCOMPARE(hex.size(), 2 * PayloadBytes(type));
            QVERIFY(!shown.isNull());
            QCOMPARE(SwitchDataFileBytes(type, QByteArray::fromHex(hex.toLatin1())), file);
        }
        QVERIFY(accepted > 200); // damage inside the picture leaves a file of its type
    }
};

QTEST_GUILESS_MAIN(FuzzTest)
#include "tst_fuzz.moc"
