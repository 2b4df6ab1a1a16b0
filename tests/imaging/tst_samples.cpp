#include "Decoders.h"
#include "Encoders.h"
#include "FileClassification.h"
#include "ImagingTestSupport.h"
#include "SamplePictures.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class SamplesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every accepted bitmap length has a sample, and each sample is what its name says.
    void everyTypeAndLength()
    {
        QSet<qint64> lengths;
        for (const QString& path : SamplePicturePaths()) {
            const QFileInfo info(path);
            const FileClass kind = ClassifyLength(info.size());
            QCOMPARE(kind.FileKind, FileKind::Bitmap);
            if (info.fileName() != StartupPictureName)
                QVERIFY2(info.fileName().startsWith(kind.TypeText + " "),
                         qPrintable(info.fileName()));
            lengths.insert(info.size());
        }
        QCOMPARE(lengths, (QSet<qint64>{254, 318, 9270, 9272, 5672, 830, 832, 18486, 18488}));
    }

    // Each sample goes through its encoder without a message and shows a picture with something
    // on it (more than one colour).
    void samplesEncodeAndShow()
    {
        for (const QString& path : SamplePicturePaths()) {
            AppState state;
            state.TypeCode = ClassifyLength(QFileInfo(path).size()).TypeCode;
            RecordingPrompter prompter;
            QString hex;
            switch (state.TypeCode) {
            case 1:
                hex = Lcd36x24PictureBlock(EncodeLcd36x24(path, "", "", state, prompter), "0", "7");
                break;
            case 2:
                hex = EncodeLcd64x32(path, "", "", state, prompter);
                break;
            case 5:
                hex = EncodeMono96x64(path, "", "", state, prompter);
                break;
            case 6:
                hex = EncodeColor96x64(path, "", "", state, prompter);
                break;
            default:
                hex = EncodeOled(path, "", "", state, prompter);
                break;
            }
            QVERIFY(prompter.shown().isEmpty());
            const QImage shown =
                DecodeSwitchPicture(state.TypeCode, QByteArray::fromHex(hex.toLatin1()));
            QVERIFY2(!shown.isNull(), qPrintable(path));
            QSet<QRgb> colours;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x)
                    colours.insert(shown.pixel(x, y));
            QVERIFY2(colours.size() > 1, qPrintable(path));
        }
    }

    void seedingAFolder()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath("Vantrel/data");
        QVERIFY(SeedSamplePictures(folder));
        const QStringList samples = SamplePicturePaths();
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), samples.size());
        const QString koala = QDir(folder).filePath(StartupPictureName);
        QVERIFY(QFileInfo(koala).permissions() & QFile::WriteOwner);

        // The operator's own version of a file is kept.
        QVERIFY(WriteFile(koala, "mine"));
        QVERIFY(QFile::remove(QDir(folder).filePath(QFileInfo(samples.last()).fileName())));
        QVERIFY(SeedSamplePictures(folder));
        QCOMPARE(QFileInfo(koala).size(), 4);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), samples.size());
    }

    void seedingWhereNothingCanBeWritten()
    {
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath("file"), "x"));
        QVERIFY(!SeedSamplePictures(dir.filePath("file/below")));
    }
};

QTEST_GUILESS_MAIN(SamplesTest)
#include "tst_samples.moc"
