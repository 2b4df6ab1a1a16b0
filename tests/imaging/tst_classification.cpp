#include "FileClassification.h"
#include "ImagingTestSupport.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <map>

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
    // The length alone decides; a byte more or less is plain text.
    void lengthDecidesType_data()
    {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<QString>("kind"); // type code, file kind, type text
        const std::map<qint64, QString> accepted{
            {254, "1 1 LCD 36x24"},     {318, "2 1 LCD 64x32"},       {264, "2 3 LCD 64x32 SD"},
            {9270, "3 1 OLED 64x48"},   {9272, "3 1 OLED 64x48"},     {6152, "3 3 OLED 64x48 SD"},
            {5672, "4 1 OLED 52x36"},   {3752, "4 3 OLED 52x36 SD"},  {830, "5 1 MONO 96x64"},
            {832, "5 1 MONO 96x64"},    {776, "5 3 MONO 96x64 SD"},   {18486, "6 1 COLOR 96x64"},
            {18488, "6 1 COLOR 96x64"}, {12296, "6 3 COLOR 96x64 SD"}};
        std::map<qint64, QString> rows{{0, "10 2 text"}, {5670, "10 2 text"}};
        for (const auto& [length, kind] : accepted)
            rows.insert({{length - 1, "10 2 text"}, {length + 1, "10 2 text"}});
        for (const auto& [length, kind] : accepted)
            rows[length] = kind;
        for (const auto& [length, kind] : rows)
            QTest::addRow("%lld bytes", length) << length << kind;
    }
    void lengthDecidesType()
    {
        QFETCH(qint64, length);
        const FileClass c = ClassifyLength(length);
        QTEST(QStringLiteral("%1 %2 %3").arg(c.TypeCode).arg(c.FileKind).arg(c.TypeText), "kind");
    }

    // A file listed again is read anew without growing the list, keeping what the operator added.
    // Only an LCD 64x32 bitmap takes the LED and colour values of the attribute editor.
    void recordOfAFile_data()
    {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<QStringList>("editorValues");
        QTest::newRow("LCD 64x32 bitmap") << qint64(318) << QStringList{"03", "03", "0", "0"};
        QTest::newRow("LCD 64x32 switch data") << qint64(264) << QStringList(4);
        QTest::newRow("text") << qint64(5) << QStringList(4);
    }
    void recordOfAFile()
    {
        QFETCH(qint64, length);
        PictureFileRecords records(1);
        AppState state;
        const QString path = makeFile(QStringLiteral("file%1.bmp").arg(length), 254);
        QVERIFY(classify(records, path, 1, state));
        records[1].Attributes = QStringLiteral("kept");
        QVERIFY(WriteFile(path, QByteArray(length, '\0')));
        QVERIFY(classify(records, path, 1, state));
        QCOMPARE(records.size(), 2);
        const PictureFileRecord& r = records[1];
        const FileClass kind = ClassifyLength(length);
        QCOMPARE((QList<qint64>{r.Index, r.FileLength, r.TypeCode, r.FileKind}),
                 (QList<qint64>{1, length, kind.TypeCode, kind.FileKind}));
        QCOMPARE((QStringList{r.Path, r.Name, r.TypeText, r.Attributes}),
                 (QStringList{path, QFileInfo(path).fileName(), kind.TypeText, "kept"}));
        QTEST((QStringList{r.LEDon, r.LEDoff, r.BackgroundColoron, r.BackgroundColoroff}),
              "editorValues");
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

    // Paths match exactly, and the window gets its turn once per record compared.
    void findRecordByPath()
    {
        PictureFileRecords records(4);
        for (int i = 1; i < 4; ++i) {
            records[i].Index = i;
            records[i].Path = i == 1 ? "/x/a.bmp" : "/x/B.bmp";
        }
        QCOMPARE(FindRecordByPath(records, "/x/B.bmp"), 2);
        QCOMPARE(FindRecordByPath(records, "/x/A.BMP"), 0);
        int yields = 0;
        QCOMPARE(FindRecordByPath(records, "/x/none", [&] { ++yields; }), 0);
        QCOMPARE(yields, 3);
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
