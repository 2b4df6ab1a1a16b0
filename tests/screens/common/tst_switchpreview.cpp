#include "AppState.h"
#include "Decoders.h"
#include "PictureEncoding.h"
#include "Prompter.h"
#include "QtWarnings.h"
#include "SamplePictures.h"
#include "SwitchPreview.h"

#include <QTemporaryDir>

// The preview as the operator sees it: the window grabbed, one sample at the centre of every
// display pixel, compared with what the decoders make of the data a download sends. Mirroring
// and inversion are the encoders' and are tested with them.
class TestSwitchPreview : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

    // What a download of the sample sends for the type, "L to R" as given.
    QString sent(qint16 type, const QString& sample, bool leftToRight = true)
    {
        AppState state;
        state.TypeCode = type;
        state.LeftToRightFlag = leftToRight;
        SilentPrompter quiet;
        return EncodeForType(type, folder.filePath(sample), state, quiet);
    }

    // The display as drawn on the screen, read back one device pixel per display pixel.
    static QImage shown(qint16 type, const QString& data)
    {
        SwitchPreview preview(QStringLiteral("picSwitchPreview"));
        preview.showData(type, data);
        preview.show();
        const QImage screen = preview.grab().toImage();
        const QRect display = preview.displayRect();
        const QSize size = preview.picture().size();
        if (size.isEmpty() || !preview.rect().contains(display))
            return {};
        QImage pixels(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const QPointF centre(display.x() + (x + 0.5) * display.width() / size.width(),
                                     display.y() + (y + 0.5) * display.height() / size.height());
                pixels.setPixel(x, y, screen.pixel((centre * screen.devicePixelRatio()).toPoint()));
            }
        return pixels;
    }

private Q_SLOTS:
    void initTestCase()
    {
        FailOnQtWarnings();
        QVERIFY(SeedSamplePictures(folder.path()));
    }

    void showsTheDecodedData_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("sample");
        QTest::newRow("LCD 36x24") << 1 << "LCD 36x24 Power.bmp";
        QTest::newRow("LCD 64x32") << 2 << "LCD 64x32 Speaker.bmp";
        QTest::newRow("OLED 64x48") << 3 << "Koala.bmp";
        QTest::newRow("OLED 52x36") << 4 << "OLED 52x36 Clownfish.bmp";
        QTest::newRow("MONO 96x64") << 5 << "MONO 96x64 Gears.bmp";
        QTest::newRow("COLOR 96x64") << 6 << "COLOR 96x64 Mountains.bmp";
    }
    void showsTheDecodedData()
    {
        QFETCH(int, type);
        QFETCH(QString, sample);
        const QString data = sent(qint16(type), sample);
        const QImage decoded =
            DecodeSwitchPicture(qint16(type), QByteArray::fromHex(data.toLatin1()));
        QVERIFY(!decoded.isNull());
        QCOMPARE(shown(qint16(type), data), decoded);
        // An upload's answer ends with the controller's "y" and shows the same picture.
        QCOMPARE(shown(qint16(type), data + QLatin1Char('y')), decoded);
    }

    void saysWhyThereIsNoPicture_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("note");
        QTest::newRow("nothing") << 6 << ""
                                 << "No picture data";
        QTest::newRow("short") << 6 << "00FF"
                               << "2 bytes of data;\nCOLOR 96x64 pictures have 12288";
        QTest::newRow("LCD blank") << 1 << QString(512, QLatin1Char('0'))
                                   << "256 bytes of data;\nLCD 36x24 pictures have 125";
        QTest::newRow("not hex") << 2 << QString(511, QLatin1Char('0')) + QLatin1Char('G')
                                 << "255 bytes of data;\nLCD 64x32 pictures have 256";
    }
    void saysWhyThereIsNoPicture()
    {
        QFETCH(int, type);
        QFETCH(QString, data);
        SwitchPreview preview(QStringLiteral("picSwitchPreview"));
        preview.showData(qint16(type), data);
        QVERIFY(preview.picture().isNull());
        QTEST(preview.note(), "note");
    }
};

QTEST_MAIN(TestSwitchPreview)
#include "tst_switchpreview.moc"
