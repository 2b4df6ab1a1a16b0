#include "Bitmap.h"
#include "FileClassification.h"
#include "ImagingTestSupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Stands in for the LCD 64x32 attribute editor with recognisable values.
class EditorValues : public Lcd64x32Defaults
{
public:
    QString LEDon() const override { return QStringLiteral("9F"); }
    QString LEDoff() const override { return QStringLiteral("C3"); }
    QString BackgroundColoron() const override { return QStringLiteral("255"); }
    QString BackgroundColoroff() const override { return QStringLiteral("65280"); }
};

} // namespace

class ClassificationTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString makeFile(const QString& name, qsizetype length)
    {
        const QString path = m_dir.filePath(name);
        return WriteFile(path, QByteArray(length, '\0')) ? path : QString();
    }

private Q_SLOTS:
    void lengthDecidesType_data()
    {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<int>("fileKind");
        QTest::addColumn<QString>("typeText");
        const struct
        {
            qint64 length;
            int type, kind;
            const char* text;
        } rows[] = {
            {254, 1, 1, "LCD 36x24"},     {318, 2, 1, "LCD 64x32"},
            {264, 2, 3, "LCD 64x32 SD"},  {9270, 3, 1, "OLED 64x48"},
            {9272, 3, 1, "OLED 64x48"},   {6152, 3, 3, "OLED 64x48 SD"},
            {5672, 4, 1, "OLED 52x36"},   {3752, 4, 3, "OLED 52x36 SD"},
            {830, 5, 1, "MONO 96x64"},    {832, 5, 1, "MONO 96x64"},
            {776, 5, 3, "MONO 96x64 SD"}, {18486, 6, 1, "COLOR 96x64"},
            {18488, 6, 1, "COLOR 96x64"}, {12296, 6, 3, "COLOR 96x64 SD"},
            {5670, 10, 2, "text"},        {256, 10, 2, "text"},
            {0, 10, 2, "text"},           {125, 10, 2, "text"},
        };
        for (const auto& row : rows)
            QTest::addRow("%lld bytes", row.length)
                << row.length << row.type << row.kind << QString::fromLatin1(row.text);
        // One byte either side of every accepted length is plain text.
        QList<qint64> accepted{254,  318, 264, 9270, 9272,  6152,  5672,
                               3752, 830, 832, 776,  18486, 18488, 12296};
        QList<qint64> neighbours;
        for (qint64 length : accepted)
            for (qint64 near : {length - 1, length + 1})
                if (!accepted.contains(near) && !neighbours.contains(near))
                    neighbours.append(near);
        for (qint64 near : neighbours)
            QTest::addRow("%lld bytes, next to an accepted length", near)
                << near << 10 << 2 << QStringLiteral("text");
    }

    void lengthDecidesType()
    {
        QFETCH(qint64, length);
        const FileClass kind = ClassifyLength(length);
        QTEST(int(kind.TypeCode), "typeCode");
        QTEST(int(kind.FileKind), "fileKind");
        QTEST(kind.TypeText, "typeText");
    }

    // A listed file keeps its place, its name and path, and what it was classified as.
    void recordOfAFile()
    {
        PictureFileRecords records(1);
        AppState state;
        const QString path = makeFile(QStringLiteral("f.bmp"), 830);
        QVERIFY(ClassifyFile(records, QFileInfo(path), 1, state, InitialLcd64x32Defaults()));
        QCOMPARE(records.size(), 2);
        const PictureFileRecord& r = records[1];
        QCOMPARE(r.Index, 1);
        QCOMPARE(r.Path, path);
        QCOMPARE(r.Name, QStringLiteral("f.bmp"));
        QCOMPARE(r.FileLength, 830);
        QCOMPARE(r.TypeCode, SwitchTypeCode::Mono96x64);
    }

    // Only an LCD 64x32 bitmap takes the editor's LED and colour values.
    void editorDefaultsOnlyForLcd64x32_data()
    {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<bool>("takesDefaults");
        QTest::newRow("LCD 64x32 bitmap") << qint64(318) << true;
        QTest::newRow("LCD 64x32 switch data") << qint64(264) << false;
        QTest::newRow("LCD 36x24 bitmap") << qint64(254) << false;
        QTest::newRow("OLED 64x48 bitmap") << qint64(9270) << false;
    }

    void editorDefaultsOnlyForLcd64x32()
    {
        QFETCH(qint64, length);
        QFETCH(bool, takesDefaults);
        PictureFileRecords records(1);
        AppState state;
        const QString path = makeFile(QStringLiteral("d%1.bmp").arg(length), length);
        QVERIFY(ClassifyFile(records, QFileInfo(path), 1, state, EditorValues()));
        const PictureFileRecord& r = records[1];
        const QStringList expected =
            takesDefaults ? QStringList{"9F", "C3", "255", "65280"} : QStringList{"", "", "", ""};
        QCOMPARE((QStringList{r.LEDon, r.LEDoff, r.BackgroundColoron, r.BackgroundColoroff}),
                 expected);
    }

    void sameFileTwiceOverwritesWithoutGrowing()
    {
        PictureFileRecords records(1);
        AppState state;
        const QString path = makeFile("twice.bmp", 254);
        QVERIFY(ClassifyFile(records, QFileInfo(path), 1, state, InitialLcd64x32Defaults()));
        records[1].Attributes = QStringLiteral("kept");
        QVERIFY(WriteFile(path, QByteArray(318, '\0'))); // the file changed length meanwhile
        QVERIFY(ClassifyFile(records, QFileInfo(path), 1, state, InitialLcd64x32Defaults()));
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[1].FileLength, 318);
        QCOMPARE(records[1].TypeText, QStringLiteral("LCD 64x32"));
        QCOMPARE(records[1].Attributes, QStringLiteral("kept"));
    }

    // The attribute lists follow whichever array grew last but must never lose entries that a
    // longer array elsewhere still indexes.
    void attributeListsGrowAndNeverShrink()
    {
        AppState state;
        state.SwitchingAttributesList = {"", "a", "b", "c", "d", "e"};
        state.SwitchCountList = {0, 2, 8, 16, 2, 8};
        PictureFileRecords records(1);
        QVERIFY(ClassifyFile(records, QFileInfo(makeFile("one.bmp", 254)), 1, state,
                             InitialLcd64x32Defaults()));
        QCOMPARE(state.SwitchingAttributesList.size(), 6);
        QCOMPARE(state.SwitchingAttributesList[5], QStringLiteral("e"));
        QCOMPARE(state.SwitchCountList[3], qint16(16));

        PictureFileRecords many(1);
        for (int n = 1; n <= 8; ++n)
            QVERIFY(ClassifyFile(many, QFileInfo(makeFile(QStringLiteral("m%1.bmp").arg(n), 830)),
                                 n, state, InitialLcd64x32Defaults()));
        QCOMPARE(many.size(), 9);
        QCOMPARE(state.SwitchingAttributesList.size(), 9);
        QCOMPARE(state.SwitchCountList.size(), 9);
        QCOMPARE(state.SwitchingAttributesList[2], QStringLiteral("b"));
        QCOMPARE(state.SwitchCountList[8], qint16(0));
    }

    // Paths match exactly, and the window gets its turn once per record compared.
    void findRecordByPath()
    {
        PictureFileRecords records(4);
        const char* paths[] = {"", "/x/a.bmp", "/x/B.bmp", "/x/B.bmp"};
        for (int i = 1; i < 4; ++i) {
            records[i].Index = i;
            records[i].Path = QString::fromLatin1(paths[i]);
        }
        QCOMPARE(FindRecordByPath(records, "/x/B.bmp"), 2);
        QCOMPARE(FindRecordByPath(records, "/x/A.BMP"), 0);
        int yields = 0;
        QCOMPARE(FindRecordByPath(records, "/x/none", [&] { ++yields; }), 0);
        QCOMPARE(yields, int(records.size() - 1));
    }

    void windowYieldRunsPendingEvents()
    {
        bool ran = false;
        QTimer::singleShot(0, this, [&] { ran = true; });
        WindowYield yield;
        QElapsedTimer walking;
        walking.start();
        while (!ran && walking.elapsed() < 5000)
            yield();
        QVERIFY(ran);
    }

    void openFileObjects_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("found");
        const QString file = makeFile("open.bmp", 254);
        const QString folder = m_dir.path() + "/";
        QTest::newRow("folder from the path") << file << QString() << true;
        QTest::newRow("folder given") << file << folder << true;
        QTest::newRow("missing file") << folder + "absent.bmp" << QString() << false;
        QTest::newRow("missing folder") << file << folder + "absent/" << false;
        QTest::newRow("a folder is not a file") << m_dir.path() << QString() << false;
        QTest::newRow("empty path") << QString() << QString() << false;
    }

    void openFileObjects()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QFETCH(bool, found);
        FileObjects objects;
        const QString previous = makeFile("previous.bmp", 830);
        QVERIFY(OpenFileObjects(previous, QString(), objects));
        QCOMPARE(OpenFileObjects(path, folder, objects), found);
        QCOMPARE(objects.File.absoluteFilePath(), found ? path : previous);
        QCOMPARE(objects.Folder.canonicalFilePath(), QFileInfo(m_dir.path()).canonicalFilePath());
    }

    // The inversion of MONO 96x64 pictures rests on the resolution fields alone, and is decided
    // only while the current type is MONO 96x64.
    void monoInvertFlag_data()
    {
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<int>("xPels");
        QTest::addColumn<int>("yPels");
        QTest::addColumn<bool>("before");
        QTest::addColumn<bool>("after");
        QTest::newRow("mono, no resolution") << 5 << 0 << 0 << true << false;
        QTest::newRow("mono, horizontal") << 5 << 3780 << 0 << false << true;
        QTest::newRow("mono, vertical") << 5 << 0 << 2835 << false << true;
        QTest::newRow("mono, negative") << 5 << -1 << 0 << false << true;
        QTest::newRow("other type keeps true") << 3 << 0 << 0 << true << true;
        QTest::newRow("other type keeps false") << 1 << 3780 << 3780 << false << false;
    }

    void monoInvertFlag()
    {
        QFETCH(int, typeCode);
        QFETCH(int, xPels);
        QFETCH(int, yPels);
        QFETCH(bool, before);
        BitmapLayout layout = MonoSpec(96, 64, 0);
        layout.XPelsPerMeter = xPels;
        layout.YPelsPerMeter = yPels;
        BitmapImage image;
        image.MonoInvertFlag = before;
        QVERIFY(ParseBitmap(BuildBitmap(layout), qint16(typeCode), image));
        QTEST(image.MonoInvertFlag, "after");
    }

    void readerRefusesWhatIsNoPicture_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray good = BuildBitmap(MonoSpec(36, 24, 0));
        QByteArray farOffset = good;
        qToLittleEndian<quint32>(quint32(good.size() + 1), farOffset.data() + 10);
        QByteArray hugeOffset = good;
        qToLittleEndian<quint32>(0xFFFFFFF0u, hugeOffset.data() + 10);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("file header only") << good.left(14);
        QTest::newRow("one byte short of the headers") << good.left(53);
        QTest::newRow("offset past the end") << farOffset;
        QTest::newRow("offset near 4 GB") << hugeOffset;
    }

    void readerRefusesWhatIsNoPicture()
    {
        QFETCH(QByteArray, file);
        BitmapImage image;
        image.Pixels = "before";
        QVERIFY(!ParseBitmap(file, 5, image));
        QCOMPARE(image.Pixels, QByteArray("before"));
    }

    // A palette the file is too short to hold reads as black; the offset may point anywhere in
    // the file, even into the headers.
    void readerToleratesOddLayouts()
    {
        BitmapLayout layout{2, 1, 8, 0, 0, {}, QByteArray("\x00\x01", 2), {}};
        QByteArray file = BuildBitmap(layout);
        BitmapImage image;
        QVERIFY(ParseBitmap(file, 3, image));
        QCOMPARE(image.Palette.size(), 256);
        QCOMPARE(image.Palette[255].Red, quint8(0));
        qToLittleEndian<quint32>(0, file.data() + 10);
        QVERIFY(ParseBitmap(file, 3, image));
        QCOMPARE(image.Pixels, file);
        qToLittleEndian<quint32>(quint32(file.size()), file.data() + 10);
        QVERIFY(ParseBitmap(file, 3, image));
        QVERIFY(image.Pixels.isEmpty());
        QCOMPARE(PixelHexText(image), QString());
    }

    void pixelHexText_data()
    {
        QTest::addColumn<int>("bitsPerPixel");
        QTest::addColumn<QList<quint32>>("palette");
        QTest::addColumn<QByteArray>("pixels");
        QTest::addColumn<QString>("expected");
        const QByteArray bytes("\x00\x0a\xff\x5c", 4);
        QTest::newRow("1 bit") << 1 << QList<quint32>{0, 0xffffff} << bytes << "000AFF5C";
        QTest::newRow("24 bits") << 24 << QList<quint32>{} << bytes << "000AFF5C";
        QTest::newRow("16 bits") << 16 << QList<quint32>{} << bytes << "";
        QTest::newRow("32 bits") << 32 << QList<quint32>{} << bytes << "";
        QTest::newRow("4 bits") << 4 << QList<quint32>(16, 0x123456) << bytes << "";
        // Palette colours as red + 256 x green + 65536 x blue, without leading zeros.
        QList<quint32> palette(256, 0);
        palette[1] = 0x0000ff; // blue
        palette[2] = 0xff0000; // red
        palette[3] = 0x012345; // red 01, green 23, blue 45
        QTest::newRow("8 bits") << 8 << palette << QByteArray("\x00\x01\x02\x03\x00", 5)
                                << "0FF0000FF4523010";
    }

    void pixelHexText()
    {
        QFETCH(int, bitsPerPixel);
        QFETCH(QList<quint32>, palette);
        QFETCH(QByteArray, pixels);
        BitmapLayout layout{4, 1, quint16(bitsPerPixel), 0, 0, palette, pixels, {}};
        BitmapImage image;
        QVERIFY(ParseBitmap(BuildBitmap(layout), 3, image));
        QTEST(PixelHexText(image), "expected");
    }
};

QTEST_GUILESS_MAIN(ClassificationTest)
#include "tst_classification.moc"
