// Damaged files: truncated, padded or corrupted anywhere, headers included. No reader, encoder or
// decoder may crash or read out of bounds (this test also runs under the sanitizers), and the
// encoders must still agree with the documented text walk on whatever the reader accepted.
#include "Decoders.h"
#include "Encoders.h"
#include "ImagingTestSupport.h"
#include "LiteralEncoders.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray validFile(int kind)
{
    switch (kind) {
    case 0:
        return BuildBitmap(MonoSpec(36, 24, char(0x3c)));
    case 1:
        return BuildBitmap(MonoSpec(64, 32, char(0xa5)));
    case 2:
        return BuildBitmap(MonoSpec(96, 64, char(0x0f)));
    case 3:
        return BuildBitmap(ColourSpec(64, 48, QByteArray("\x10\x80\xf0", 3)));
    case 4:
        return BuildBitmap(ColourSpec(52, 36, QByteArray("\x01\x02\x03", 3)));
    case 5:
        return BuildBitmap(ColourSpec(96, 64, QByteArray("\xff\x00\x7f", 3)));
    default: {
        BitmapLayout layout{128, 64, 8, 0, 0, QList<quint32>(256, 0x00a0b0), QByteArray(8192, 7),
                            {}};
        return BuildBitmap(layout);
    }
    }
}

// Header fields whose damage changes how a reader walks the file.
void corruptField(QByteArray& file, QRandomGenerator& random)
{
    const int fields[][2] = {{2, 4},  {10, 4}, {14, 4}, {18, 4}, {22, 4},
                             {28, 2}, {38, 4}, {42, 4}, {46, 4}};
    const auto& field = fields[random.bounded(9)];
    const quint32 interesting[] = {
        0,  1,  4,    8,          16,         24,         32,
        54, 62, 1078, 0x7fffffff, 0x80000000, 0xffffffff, random.generate()};
    const quint32 value = interesting[random.bounded(14)];
    for (int i = 0; i < field[1] && field[0] + i < file.size(); ++i)
        file[field[0] + i] = char((value >> (8 * i)) & 0xff);
}

QByteArray mutate(QByteArray file, QRandomGenerator& random)
{
    const int steps = 1 + random.bounded(3);
    for (int s = 0; s < steps; ++s) {
        switch (random.bounded(5)) {
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
        case 3:
            corruptField(file, random);
            break;
        default:
            file.remove(random.bounded(file.size() + 1), random.bounded(64));
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
        const QRegularExpression hexDigits(QStringLiteral("^[0-9A-F]*$"));
        // The longest result of each type's conversion (OLED 52x36 shares the 64x48 one).
        const int longest[] = {0, 240, 512, 12288, 12288, 1536, 24576};
        int accepted = 0;
        for (int round = 0; round < 3000; ++round) {
            const QByteArray file = mutate(validFile(random.bounded(7)), random);
            BitmapImage image;
            if (!ParseBitmap(file, qint16(1 + random.bounded(6)), image))
                continue;
            ++accepted;
            QVERIFY(image.Pixels.size() <= file.size());
            for (qint16 type = 1; type <= 6; ++type) {
                const QString hex = PictureHexText(type, image, round % 2);
                QVERIFY(hexDigits.match(hex).hasMatch());
                QVERIFY(hex.size() <= longest[type]);
                if (round % 10 == 0)
                    QCOMPARE(hex, Literal::ForType(type, image, round % 2));
            }
        }
        QVERIFY(accepted > 1000); // most damage leaves a readable file
    }

    void decodersTakeAnyBytes()
    {
        QRandomGenerator random(79);
        for (int round = 0; round < 600; ++round) {
            const qint16 type = qint16(random.bounded(8));
            const int size = random.bounded(4) ? PayloadBytes(type) : random.bounded(13000);
            QByteArray payload(size, Qt::Uninitialized);
            for (char& b : payload)
                b = char(random.bounded(256));
            const QImage image = DecodeSwitchPicture(type, payload);
            QCOMPARE(image.isNull(), PayloadBytes(type) == 0 || size != PayloadBytes(type));
        }
    }
};

QTEST_GUILESS_MAIN(FuzzTest)
#include "tst_fuzz.moc"
