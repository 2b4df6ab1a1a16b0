// Pictures of any kind made into switch pictures: exact pixels where nothing needs changing, the
// accepted bitmap of every type, grey kept by dithering, turns and flips, fits, and bad files.
#include "Decoders.h"
#include "FileClassification.h"
#include "FolderConversion.h"
#include "PictureConversion.h"
#include "SamplePhoto.h"
#include "SwitchTypeCode.h"
#include "TestKit.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// A pattern no fit or filter would produce by accident: pixel (x, y) is white when a hash of it
// is odd.
QImage blackAndWhite(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, ((x * 7 + y * 13 + x * y) % 5) % 2 ? 0xffffffff : 0xff000000);
    return image;
}

// Which pixels of `shown` look like its pixel at `reference`.
QList<bool> likeAt(const QImage& shown, QPoint reference)
{
    QList<bool> like;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            like << (shown.pixel(x, y) == shown.pixel(reference));
    return like;
}

QList<bool> whitePixels(const QImage& image)
{
    QList<bool> white;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            white << (qGray(image.pixel(x, y)) > 127);
    return white;
}

double litShare(const QImage& image)
{
    const QList<bool> white = whitePixels(image);
    return double(white.count(true)) / double(white.size());
}

QPoint firstWhite(const QImage& image)
{
    const qsizetype at = whitePixels(image).indexOf(true);
    return {int(at % image.width()), int(at / image.width())};
}

} // namespace

class ConversionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A black-and-white PNG of the display's size keeps every pixel; its bitmap has a length the
    // program accepts for the type, and the switch shows exactly those pixels lit (or clear, on an
    // LCD).
    void blackAndWhiteAtDisplaySizeIsKept_data()
    {
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<qint64>("length");
        QTest::newRow("LCD 36x24") << 1 << qint64(254);
        QTest::newRow("LCD 64x32") << 2 << qint64(318);
        QTest::newRow("OLED 64x48") << 3 << qint64(9270);
        QTest::newRow("OLED 52x36") << 4 << qint64(5672);
        QTest::newRow("MONO 96x64") << 5 << qint64(830);
        QTest::newRow("COLOR 96x64") << 6 << qint64(18488);
    }

    void blackAndWhiteAtDisplaySizeIsKept()
    {
        QFETCH(int, typeCode);
        QTemporaryDir dir;
        const QImage drawn = blackAndWhite(DisplaySize(qint16(typeCode)));
        QVERIFY(drawn.save(dir.filePath("pattern.png")));
        const SourcePicture source = ReadSourcePicture(dir.filePath("pattern.png"));
        QVERIFY(source.error.isEmpty());
        const ConversionSettings settings{.typeCode = qint16(typeCode)};
        QCOMPARE(ConvertToDisplay(source.image, settings), drawn);
        const QByteArray bitmap = ConvertToBitmap(source.image, settings);
        QTEST(qint64(bitmap.size()), "length");
        const FileClass kind = ClassifyLength(bitmap.size());
        QCOMPARE((QList<int>{kind.TypeCode, kind.FileKind}),
                 (QList<int>{typeCode, FileKind::Bitmap}));
        const QImage shown = SwitchViewOfBitmap(settings.typeCode, bitmap, true);
        QCOMPARE(likeAt(shown, firstWhite(drawn)), whitePixels(drawn));
    }

    void ditherKeepsTheGreyLevel_data()
    {
        QTest::addColumn<int>("dither");
        QTest::addColumn<int>("fromGrey");
        QTest::addColumn<int>("toGrey");
        const std::pair<const char*, PictureDither> dithers[] = {
            {"Floyd-Steinberg", PictureDither::FloydSteinberg},
            {"Atkinson", PictureDither::Atkinson},
            {"ordered", PictureDither::Ordered}};
        for (const auto& [name, dither] : dithers) {
            QTest::addRow("%s, mid grey", name) << int(dither) << 128 << 128;
            QTest::addRow("%s, gradient", name) << int(dither) << 0 << 255;
            // Atkinson passes on only three quarters of the error: light greys go lighter and
            // dark ones darker, which is the look it is chosen for.
            if (dither == PictureDither::Atkinson)
                continue;
            QTest::addRow("%s, quarter grey", name) << int(dither) << 64 << 64;
            QTest::addRow("%s, three quarters", name) << int(dither) << 191 << 191;
        }
    }
    void ditherKeepsTheGreyLevel()
    {
        QFETCH(int, dither);
        QFETCH(int, fromGrey);
        QFETCH(int, toGrey);
        QImage grey(96, 64, QImage::Format_RGB32);
        double sum = 0;
        for (int x = 0; x < 96; ++x) {
            const int level = fromGrey + (toGrey - fromGrey) * x / 95;
            for (int y = 0; y < 64; ++y)
                grey.setPixel(x, y, qRgb(level, level, level));
            sum += 64 * level;
        }
        const double lit = litShare(ConvertToDisplay(grey, {.dither = PictureDither(dither)}));
        QVERIFY2(qAbs(lit - sum / (96 * 64) / 255) <= 0.02, qPrintable(QString::number(lit)));
    }

    // The picture's top-left pixel is marked; after the turn and flips the mark is where the
    // operator expects it on the display.
    void turnsAndFlipsMoveTheMark_data()
    {
        QTest::addColumn<int>("rotation");
        QTest::addColumn<bool>("flipHorizontal");
        QTest::addColumn<bool>("flipVertical");
        QTest::addColumn<QPoint>("mark");
        QTest::newRow("as drawn") << 0 << false << false << QPoint(0, 0);
        QTest::newRow("90") << 90 << false << false << QPoint(95, 0);
        QTest::newRow("180") << 180 << false << false << QPoint(95, 63);
        QTest::newRow("270") << 270 << false << false << QPoint(0, 63);
        QTest::newRow("flip across") << 0 << true << false << QPoint(95, 0);
        QTest::newRow("flip down") << 0 << false << true << QPoint(0, 63);
        QTest::newRow("90 then flip across") << 90 << true << false << QPoint(0, 0);
        QTest::newRow("270 then both flips") << 270 << true << true << QPoint(95, 0);
    }
    void turnsAndFlipsMoveTheMark()
    {
        QFETCH(int, rotation);
        QFETCH(bool, flipHorizontal);
        QFETCH(bool, flipVertical);
        QFETCH(QPoint, mark);
        QImage drawn(rotation % 180 ? QSize(64, 96) : QSize(96, 64), QImage::Format_RGB32);
        drawn.fill(Qt::black);
        drawn.setPixel(0, 0, qRgb(255, 0, 0));
        const QImage shown = ConvertToDisplay(drawn, {.typeCode = SwitchTypeCode::Color96x64,
                                                      .rotation = rotation,
                                                      .flipHorizontal = flipHorizontal,
                                                      .flipVertical = flipVertical});
        QCOMPARE(shown.size(), QSize(96, 64));
        QCOMPARE(likeAt(shown, mark).count(true), 1);
        QCOMPARE(shown.pixel(mark), qRgb(255, 0, 0));
    }

    // A wide picture, red on the left half and blue on the right: Contain shows it whole between
    // bars, Cover keeps the side the crop position names, Stretch squeezes it.
    void fitsPlaceThePicture_data()
    {
        QTest::addColumn<int>("fit");
        QTest::addColumn<int>("cropAcross");
        QTest::addColumn<QRgb>("topLeft");
        QTest::addColumn<QRgb>("middleLeft");
        QTest::addColumn<QRgb>("middleRight");
        const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255), bar = qRgb(0, 255, 0);
        QTest::newRow("contain") << int(PictureFit::Contain) << 50 << bar << red << blue;
        QTest::newRow("cover, left") << int(PictureFit::Cover) << 0 << red << red << red;
        QTest::newRow("cover, right") << int(PictureFit::Cover) << 100 << blue << blue << blue;
        QTest::newRow("stretch") << int(PictureFit::Stretch) << 50 << red << red << blue;
    }
    void fitsPlaceThePicture()
    {
        QFETCH(int, fit);
        QFETCH(int, cropAcross);
        QImage wide(400, 64, QImage::Format_RGB32);
        wide.fill(QColor(0, 0, 255));
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 200; ++x)
                wide.setPixel(x, y, qRgb(255, 0, 0));
        const QImage shown = ConvertToDisplay(wide, {.typeCode = SwitchTypeCode::Color96x64,
                                                     .fit = PictureFit(fit),
                                                     .background = QColor(0, 255, 0),
                                                     .crop = {cropAcross, 50}});
        QTEST(shown.pixel(0, 0), "topLeft");
        QTEST(shown.pixel(2, 32), "middleLeft");
        QTEST(shown.pixel(93, 32), "middleRight");
    }

    void badFilesAreRefusedByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("cut-off PNG") << "logo.png" << QByteArray::fromHex("89504e470d0a1a0a0000");
        QTest::newRow("text named JPEG") << "photo.jpg" << QByteArray("not a picture at all");
        QTest::newRow("empty") << "empty.gif" << QByteArray();
        QTest::newRow("no such file") << "missing.png" << QByteArray();
    }
    void badFilesAreRefusedByName()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        if (!name.startsWith(QLatin1String("missing")))
            QVERIFY(WriteFile(dir.filePath(name), contents));
        const SourcePicture source = ReadSourcePicture(dir.filePath(name));
        QVERIFY(source.image.isNull());
        QVERIFY2(source.error.startsWith(name + QStringLiteral(" cannot be converted: ")),
                 qPrintable(source.error));
    }

    // A folder converts picture by picture (the command line and the Convert Folder window check
    // the messages): names that would collide keep their extensions, a broken picture leaves its
    // old bitmap as it was, other files are not touched.
    void folderConvertsEveryPicture()
    {
        QTemporaryDir in, out;
        QVERIFY(SamplePhoto({300, 200}).save(in.filePath(QStringLiteral("logo.png"))));
        QVERIFY(SamplePhoto({300, 200}).save(in.filePath(QStringLiteral("logo.jpg"))));
        QVERIFY(SamplePhoto({90, 60}).save(in.filePath(QStringLiteral("icon.bmp"))));
        QVERIFY(WriteFile(in.filePath("broken.png"), "no picture"));
        QVERIFY(WriteFile(in.filePath("notes.txt"), "not a picture"));
        QVERIFY(WriteFile(out.filePath("broken.bmp"), "earlier"));

        const QStringList sources = PicturesInFolder(in.path());
        const QStringList outputs = ConvertedPaths(sources, out.path());
        const QList<ConvertedFile> results =
            ConvertPictureFiles(sources, outputs, {.typeCode = SwitchTypeCode::Oled52x36})
                .results();

        QStringList written;
        for (const ConvertedFile& result : results) {
            if (result.error.isEmpty() && QFileInfo(result.output).size() == 5672)
                written << QFileInfo(result.output).fileName();
        }
        QCOMPARE(written, QStringList({"icon.bmp", "logo.jpg.bmp", "logo.png.bmp"}));
        QCOMPARE(results.size(), 4);
        QCOMPARE(ReadFile(out.filePath("broken.bmp")), QByteArray("earlier"));
    }
};

QTEST_GUILESS_MAIN(ConversionTest)
#include "tst_conversion.moc"
