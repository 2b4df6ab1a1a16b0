// Switch data files against the documented header table, and the LCD 64x32 row order they hold.
#include "Decoders.h"
#include "FileClassification.h"
#include "LinkFakes.h"
#include "PictureEncoding.h"
#include "SamplePictures.h"
#include "SwitchDataFile.h"

#include <QFileInfo>
#include <QTest>

namespace {

QString sampleOfType(qint16 typeCode)
{
    for (const QString& path : SamplePicturePaths()) {
        if (ClassifyLength(QFileInfo(path).size()).TypeCode == typeCode)
            return path;
    }
    return QString();
}

QByteArray withHeader(const char* headerHex, const QByteArray& picture)
{
    return QByteArray::fromHex(headerHex) + picture;
}

} // namespace

class SwitchDataFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bitmapSavedAndLoadedBack_data()
    {
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<QString>("header");
        QTest::addColumn<qint64>("length");
        QTest::newRow("LCD 36x24, the picture block alone") << 1 << "" << qint64(125);
        QTest::newRow("LCD 64x32") << 2 << "5156523101004020" << qint64(264);
        QTest::newRow("OLED 64x48") << 3 << "5156523110004030" << qint64(6152);
        QTest::newRow("OLED 52x36") << 4 << "5156523110003424" << qint64(3752);
        QTest::newRow("MONO 96x64") << 5 << "5156523101006040" << qint64(776);
        QTest::newRow("COLOR 96x64") << 6 << "5156523110006040" << qint64(12296);
    }
    // A bitmap saved as the switch data window saves it is a file of the table's header and
    // length, recognised as its type, and loads back to the very data the bitmap gave. Only
    // LCD 64x32 files hold their bytes in another order than the controller.
    void bitmapSavedAndLoadedBack()
    {
        QFETCH(int, typeCode);
        QFETCH(QString, header);
        const auto type = qint16(typeCode);
        AppState state;
        RecordingShell prompter;
        const QString data = EncodeForType(type, sampleOfType(type), state, prompter);
        QCOMPARE(data.size(), 2 * PayloadBytes(type));
        const QByteArray picture = QByteArray::fromHex(data.toLatin1());

        const QByteArray file = SwitchDataFileBytes(type, picture);
        QTEST(qint64(file.size()), "length");
        QCOMPARE(SwitchDataHeader(type), header);
        QVERIFY(file.startsWith(QByteArray::fromHex(header.toLatin1())));
        QCOMPARE(file.mid(header.size() / 2) == picture, type != 2);
        QCOMPARE(SwitchDataFileType(file.left(8), file.size()), type);
        QCOMPARE(SwitchDataHexText(type, file), data);
        QVERIFY(prompter.messages.isEmpty());
    }

    // The file holds each 8-byte row reversed: row 0 bytes 00..07 load as 07..00.
    void lcd64x32RowsTurnedRound()
    {
        QByteArray rows;
        for (int i = 0; i < 256; ++i)
            rows += char(i);
        const QByteArray file = withHeader("5156523101004020", rows);
        const QString loaded = SwitchDataHexText(2, file);
        QCOMPARE(loaded.left(32), "07060504030201000F0E0D0C0B0A0908");
        QCOMPARE(loaded.right(16), "FFFEFDFCFBFAF9F8");
        QCOMPARE(SwitchDataFileBytes(2, QByteArray::fromHex(loaded.toLatin1())), file);
    }

    void notSwitchDataFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray oled(6144, '\x5a');
        QTest::newRow("cut short") << withHeader("5156523110004030", oled.chopped(1));
        QTest::newRow("padded") << withHeader("5156523110004030", oled + '\0');
        QTest::newRow("another width") << withHeader("5156523110004130", oled);
        QTest::newRow("another type's length") << withHeader("5156523101004020", oled);
        // A header names its type even at the length of a file without one.
        QTest::newRow("header on an LCD 36x24 length")
            << withHeader("5156523101004020", QByteArray(117, '\0'));
        QTest::newRow("LCD 36x24 block one byte too long") << QByteArray(126, '\0');
    }
    void notSwitchDataFiles()
    {
        QFETCH(QByteArray, file);
        QCOMPARE(SwitchDataFileType(file.left(8), file.size()), 0);
    }
};

QTEST_GUILESS_MAIN(SwitchDataFileTest)
#include "tst_switchdatafile.moc"
