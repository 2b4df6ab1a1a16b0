#include "AppState.h"
#include "BatchArithmetic.h"
#include "BatchFileModel.h"
#include "BatchFiles.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A folder scan that records the status texts and can stop after a number of files.
class ScanRecorder : public FolderScanObserver
{
public:
    bool keepScanning() override { return stopAfter < 0 || visited++ < stopAfter; }
    void showScanStatus(int panel, const QString& text) override
    {
        panels.append(QStringLiteral("%1:%2").arg(panel).arg(text));
    }
    int stopAfter = -1;
    int visited = 0;
    QStringList panels;
};

void writeFile(const QString& path, qint64 length)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(length, '\0'));
}

} // namespace

// The batch's widget-free parts: which files an import takes and in what order, the address
// block arithmetic with the start entry's messages, the run's time texts, and the list's model.
class TestBatchLogic : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void acceptsBatchFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("accepted");
        const auto row = [](const char* tag, const char* name, qint64 length, int type, bool ok) {
            QTest::newRow(tag) << QString::fromLatin1(name) << length << type << ok;
        };
        row("LCD 36x24 upper-case extension", "a.BMP", 254, 1, true);
        row("LCD 36x24 one byte long", "b.bmp", 255, 1, false);
        row("OLED 64x48 9272 mixed case", "d.bMp", 9272, 3, true);
        row("OLED 52x36 takes 9272", "e.bmp", 9272, 4, true);
        row("OLED 52x36 refuses its own 5672", "e.bmp", 5672, 4, false);
        row("MONO 830", "f.bmp", 830, 5, true);
        row("MONO 832", "f.bmp", 832, 5, true);
        row("COLOR is no batch type", "g.bmp", 18488, 6, false);
        row("other extension", "h.txt", 254, 1, false);
        row("extension only in the middle", "h.bmp.txt", 254, 1, false);
        row("no dot", "hbmp", 254, 1, false);
    }
    void acceptsBatchFile()
    {
        QFETCH(QString, name);
        QFETCH(qint64, length);
        QFETCH(int, type);
        QFETCH(bool, accepted);
        QCOMPARE(AcceptsBatchFile(name, length, qint16(type)), accepted);
    }

    void quickSortLargeSortedInput()
    {
        // File systems often hand out names sorted or reversed; neither may recurse deeply.
        QStringList names;
        for (int i = 0; i < 200000; ++i)
            names.append(QStringLiteral("pic%1.bmp").arg(200000 - i, 6, 10, QLatin1Char('0')));
        QuickSort(names);
        QVERIFY(std::is_sorted(names.begin(), names.end()));
    }

    // Sorted by character code: every upper-case name before every lower-case one.
    void collectsAndCountsAFolder()
    {
        QTemporaryDir dir;
        for (const auto& [name, length] :
             std::initializer_list<std::pair<const char*, qint64>>{{"b.bmp", 318},
                                                                   {"B.bmp", 318},
                                                                   {"A.bmp", 318},
                                                                   {"a.BMP", 318},
                                                                   {"x.bmp", 254},
                                                                   {"y.txt", 318}})
            writeFile(dir.filePath(QString::fromLatin1(name)), length);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub.bmp")));

        ScanRecorder observer;
        QVERIFY(CountMatchingFiles(dir.path(), SwitchTypeCode::Lcd64x32, observer));
        QVERIFY(!CountMatchingFiles(dir.path(), SwitchTypeCode::Mono96x64, observer));
        QCOMPARE(CollectMatchingFiles(dir.path(), SwitchTypeCode::Lcd64x32, observer),
                 (QStringList{"", "A.bmp", "B.bmp", "a.BMP", "b.bmp"}));
        QCOMPARE(observer.panels.first(), QString("3:0 imported files"));
        QCOMPARE(observer.panels.last(), QString("3:4 imported files"));
    }

    void importingStatusCycles()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 130; ++i)
            writeFile(dir.filePath(QStringLiteral("p%1.txt").arg(i)), 1);
        ScanRecorder observer;
        QVERIFY(!CountMatchingFiles(dir.path(), SwitchTypeCode::Lcd36x24, observer));
        QCOMPARE(observer.panels,
                 (QStringList{"2:Importing Images", "2:Importing Images.", "2:Importing Images..",
                              "2:Importing Images...", "2:Importing Images"}));
        // A cancelled count stops where it is.
        ScanRecorder cancelled;
        cancelled.stopAfter = 60;
        QVERIFY(!CountMatchingFiles(dir.path(), SwitchTypeCode::Lcd36x24, cancelled));
        QCOMPARE(cancelled.panels, (QStringList{"2:Importing Images", "2:Importing Images."}));
    }

    void maxStartAddress_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::newRow("10 OLED files") << 10 << 3 << "FFF6";
        QTest::newRow("255 LCD files start at 1") << 255 << 2 << "1";
        QTest::newRow("256 LCD files do not fit") << 256 << 2 << "";
    }
    void maxStartAddress()
    {
        QFETCH(int, count);
        QFETCH(int, type);
        QFETCH(QString, text);
        QCOMPARE(MaxStartAddressText(count, qint16(type)), text);
    }

    void checkAddressOffset_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("offsetMode");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("type");
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* tag, const char* text, bool offsetMode, int count, int type,
                            qint64 offset, const QString& message) {
            QTest::newRow(tag) << QString::fromLatin1(text) << offsetMode << count << type << offset
                               << message;
        };
        const QString format = QStringLiteral("Address must be in Hex or Decimal format.");
        const QString notEnoughLcd = QStringLiteral("Not enough addresses for 10 files.\r\nMaximum "
                                                    "address is F6.\r\nMaximum offset is 245.");
        const QString notEnoughOled =
            QStringLiteral("Not enough addresses for 10 files.\r\nMaximum "
                           "address is FFF6.\r\nMaximum offset is 65525.");
        row("hex start that just fits", "F6", false, 10, 2, 245, "");
        row("hex start one too high", "F7", false, 10, 2, 0, notEnoughLcd);
        row("lower-case hex", "f6", false, 10, 1, 245, "");
        row("three characters for LCD", "0A0", false, 3, 2, 0, "Address must 2 characters long.");
        row("five characters for OLED", "1FFFF", false, 3, 3, 0, "Address must 4 characters long.");
        row("not hex", "G1", false, 3, 2, 0, format);
        row("address 0 is no switch", "00", false, 3, 1, 0, "Address must between 1 and 255.");
        row("OLED start", "1000", false, 16, 3, 0xFFF, "");
        row("OLED block past FFFF", "FFF8", false, 10, 5, 0, notEnoughOled);
        row("offset that just fits", "+245", true, 10, 2, 245, "");
        row("offset one too many", "+246", true, 10, 2, 0, notEnoughLcd);
        row("OLED offset beyond the type", "+65536", true, 1, 3, 0,
            "Address must between 1 and 65535.");
        row("offset without plus", "12", true, 3, 3, 12, "");
        row("offset half rounds to even", "+2.5", true, 3, 3, 2, "");
        row("offset half rounds up to even", "+3.5", true, 3, 3, 4, "");
        row("plus alone", "+", true, 3, 3, 0, format);
        row("negative offset", "-5", true, 3, 3, 0, format);
        row("offset in hex", "+1A", true, 3, 3, 0, format);
        row("offset zero", "+0", true, 3, 1, 0, "");
    }
    void checkAddressOffset()
    {
        QFETCH(QString, text);
        QFETCH(bool, offsetMode);
        QFETCH(int, count);
        QFETCH(int, type);
        QFETCH(qint64, offset);
        QFETCH(QString, message);
        const OffsetVerdict verdict = CheckAddressOffset(text, offsetMode, count, qint16(type));
        QCOMPARE(verdict.message, message);
        QCOMPARE(verdict.offset, offset);
    }

    void formatHms_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<double>("bias");
        QTest::addColumn<QString>("text");
        QTest::newRow("1 h 2 min 3.999 s") << 3723999LL << 0.0 << "01:02:03";
        QTest::newRow("59 s elapsed shows 60") << 59000LL << 0.5 << "00:00:60";
        QTest::newRow("even second stays") << 58000LL << 0.5 << "00:00:58";
        QTest::newRow("odd second goes up") << 1000LL << 0.5 << "00:00:02";
        QTest::newRow("hours keep two digits") << 123LL * 3600000 << 0.0 << "12:00:00";
    }
    void formatHms()
    {
        QFETCH(qint64, ms);
        QFETCH(double, bias);
        QFETCH(QString, text);
        QCOMPARE(FormatHms(ms, bias), text);
    }

    void estimateRemainingTime_data()
    {
        QTest::addColumn<qint64>("elapsed");
        QTest::addColumn<qint64>("done");
        QTest::addColumn<QString>("label");
        QTest::newRow("4 of 10 in 10 s")
            << 10000LL << 4LL << "Estimated Time Left: 00:00:15, Elapsed: 00:00:10, Unit: 2500ms";
        QTest::newRow("nothing done yet counts one")
            << 1500LL << 0LL << "Estimated Time Left: 00:00:13, Elapsed: 00:00:02, Unit: 1500ms";
        QTest::newRow("no time passed")
            << 0LL << 10LL << "Estimated Time Left: 00:00:00, Elapsed: 00:00:00, Unit: 0ms";
    }
    void estimateRemainingTime()
    {
        QFETCH(qint64, elapsed);
        QFETCH(qint64, done);
        QFETCH(QString, label);
        const qint64 start = 1000000;
        QCOMPARE(TimeLabelText(EstimateRemainingTime(start, start + elapsed, done, 10)), label);
    }

    void fileModel()
    {
        BatchFileModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QList<BatchFileModel::Row> rows;
        for (int i = 1; i <= 5000; ++i)
            AddFileListItem(rows, QStringLiteral("%1").arg(i, 4, 16, QLatin1Char('0')),
                            QStringLiteral("p%1.bmp").arg(i), i % 2 == 0);
        model.setRows(rows);
        QCOMPARE(model.data(model.index(9, 1), Qt::DisplayRole).toString(), QString("000a"));
        QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QString("Address"));

        // Check-all over thousands of rows is one change notice, not one per row.
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.checkAll(BatchFileModel::CheckAction::Invert);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][1].toModelIndex().row(), 4999);
        QVERIFY(model.isChecked(0) && !model.isChecked(1));
        model.setAllColours(RowColour::Black);
        QCOMPARE(changed.size(), 2);

        model.setRowColour(2, RowColour::Magenta);
        for (int column : {0, 1})
            QCOMPARE(model.data(model.index(2, column), Qt::ForegroundRole).value<QBrush>().color(),
                     QColor(0xFF, 0x00, 0xFF));
    }

    // While a run or an import goes on, the operator's ticks are refused.
    void operatorTicksFollowTheGate()
    {
        BatchFileModel model;
        QList<BatchFileModel::Row> rows;
        AddFileListItem(rows, "01", "a.bmp", true);
        model.setRows(rows);
        bool open = false;
        model.setCheckGate([&open] { return open; });
        QSignalSpy ticked(&model, &BatchFileModel::rowCheckedByOperator);
        QVERIFY(!model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(model.isChecked(0));
        open = true;
        QVERIFY(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(!model.isChecked(0));
        QCOMPARE(ticked.size(), 1);
        QVERIFY(!model.setData(model.index(0, 1), Qt::Checked, Qt::CheckStateRole));
    }
};

QTEST_GUILESS_MAIN(TestBatchLogic)
#include "tst_batchlogic.moc"
