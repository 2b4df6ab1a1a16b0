#include "FileClassification.h"
#include "ImagingTestSupport.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

class ClassificationTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString makeFile(const QString& name, qsizetype length)
    {
        const QString path = m_dir.filePath(name);
        return WriteFile(path, QByteArray(length, '\0')) ? path : QString();
    }
    bool classify(PictureFileRecords& records, const QString& path, int n, AppState& state)
    {
        return ClassifyFile(records, QFileInfo(path), n, state, InitialLcd64x32Defaults());
    }

private Q_SLOTS:
    // A file listed again is read anew without growing the list, keeping the attributes the
    // operator gave it. (Only an LCD 64x32 bitmap takes the editor's LED and colour values: the
    // editor test checks those.)
    void fileListedAgain()
    {
        PictureFileRecords records(1);
        AppState state;
        const QString path = makeFile(QStringLiteral("file.bmp"), 254);
        QVERIFY(classify(records, path, 1, state));
        records[1].Attributes = QStringLiteral("kept");
        QVERIFY(WriteFile(path, QByteArray(264, '\0')));
        QVERIFY(classify(records, path, 1, state));
        QCOMPARE(records.size(), 2);
        const PictureFileRecord& r = records[1];
        QCOMPARE((QList<qint64>{r.Index, r.FileLength, r.TypeCode, r.FileKind}),
                 (QList<qint64>{1, 264, SwitchTypeCode::Lcd64x32, FileKind::SwitchData}));
        QCOMPARE(
            (QStringList{r.Path, r.Name, r.TypeText, r.Attributes, r.LEDon, r.BackgroundColoron}),
            (QStringList{path, "file.bmp", "LCD 64x32 SD", "kept", "", ""}));
    }

    // The attribute lists follow whichever array grew last, but never lose entries that a longer
    // array elsewhere still indexes.
    void attributeListsGrowAndNeverShrink()
    {
        AppState state;
        state.SwitchingAttributesList = {"", "a", "b", "c", "d", "e"};
        state.SwitchCountList = {0, 2, 8, 16, 2, 8};
        PictureFileRecords records(1);
        QVERIFY(classify(records, makeFile("one.bmp", 254), 1, state));
        QCOMPARE(state.SwitchingAttributesList.size(), 6);
        QCOMPARE(state.SwitchCountList[3], qint16(16));
        PictureFileRecords many(1);
        for (int n = 1; n <= 8; ++n)
            QVERIFY(classify(many, makeFile(QStringLiteral("m%1.bmp").arg(n), 830), n, state));
        QCOMPARE(many.size(), 9);
        QCOMPARE(state.SwitchingAttributesList.size(), 9);
        QCOMPARE(state.SwitchCountList.size(), 9);
        QCOMPARE(state.SwitchingAttributesList[5], QStringLiteral("e"));
    }

    // The offset may point anywhere in the file, even into the headers, but not beyond its end.
    void reader_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("pixels"); // "refused": the image is left as it was
        const QByteArray good = BuildBitmap(MonoSpec(36, 24, 0));
        const auto withOffset = [&](quint32 offset) {
            QByteArray file = good;
            qToLittleEndian(offset, file.data() + 10);
            return file;
        };
        QTest::newRow("empty") << QByteArray() << QByteArray("refused");
        QTest::newRow("one byte short of the headers") << good.left(53) << QByteArray("refused");
        QTest::newRow("offset past the end")
            << withOffset(good.size() + 1) << QByteArray("refused");
        QTest::newRow("offset near 4 GB") << withOffset(0xFFFFFFF0u) << QByteArray("refused");
        QTest::newRow("offset into the headers") << withOffset(0) << withOffset(0);
        QTest::newRow("offset at the end") << withOffset(good.size()) << QByteArray();
    }
    void reader()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, pixels);
        BitmapImage image;
        image.Pixels = "refused";
        QCOMPARE(ParseBitmap(file, 5, image), pixels != "refused");
        QCOMPARE(image.Pixels, pixels);
    }

    void pixelHexText_data()
    {
        QTest::addColumn<BitmapLayout>("layout");
        QTest::addColumn<QString>("expected");
        const QByteArray bytes("\x00\x0a\xff\x5c", 4);
        QTest::newRow("1 bit") << BitmapLayout{4, 1, 1, 0, 0, {0, 0xffffff}, bytes, {}}
                               << "000AFF5C";
        QTest::newRow("4 bits") << BitmapLayout{4, 1, 4, 0, 0, QList<quint32>(16), bytes, {}} << "";
        // Palette colours as red + 256 x green + 65536 x blue, without leading zeros.
        QList<quint32> palette(256, 0);
        palette[1] = 0x0000ff; // blue
        palette[2] = 0xff0000; // red
        palette[3] = 0x012345; // red 01, green 23, blue 45
        QTest::newRow("8 bits")
            << BitmapLayout{5, 1, 8, 0, 0, palette, QByteArray("\x00\x01\x02\x03\x00", 5), {}}
            << "0FF0000FF4523010";
        // Without room for a palette the entries are read from byte 54 all the same, over the
        // pixels: entry 0 is (00, 0A, FF), and the entries past the end of the file are black.
        QTest::newRow("8 bits, palette cut short")
            << BitmapLayout{4, 1, 8, 0, 0, {}, bytes, {}} << "AFF000";
    }
    void pixelHexText()
    {
        QFETCH(BitmapLayout, layout);
        BitmapImage image;
        QVERIFY(ParseBitmap(BuildBitmap(layout), 3, image));
        QTEST(PixelHexText(image), "expected");
    }
};

QTEST_GUILESS_MAIN(ClassificationTest)
#include "tst_classification.moc"
