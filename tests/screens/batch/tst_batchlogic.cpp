#include "AppState.h"
#include "BatchArithmetic.h"
#include "BatchFiles.h"
#include "BatchReport.h"
#include "BatchRun.h"
#include "BitmapWriter.h"
#include "LinkFakes.h"
#include "TestKit.h"

#include <QImage>
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

// A run's view that keeps each file's last row colour.
class RecordingBatchView : public BatchRunView
{
public:
    void setRowColour(int index, RowColour colour) override { colours[index] = colour; }
    void revealRow(int) override {}
    void previewFile(int) override {}
    void setTimeText(const QString&) override {}
    bool withTypeLetter() const override { return false; }
    QMap<int, RowColour> colours;
};

} // namespace

// The batch's widget-free parts: the import's sorting and status texts, the address block
// arithmetic with the start entry's messages, the run's time label, and a run on a blocked line.
class TestBatchLogic : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void quickSortLargeSortedInput()
    {
        // File systems often hand out names sorted or reversed; neither may recurse deeply.
        QStringList names;
        for (int i = 0; i < 200000; ++i)
            names.append(QStringLiteral("pic%1.bmp").arg(200000 - i, 6, 10, QLatin1Char('0')));
        QuickSort(names);
        QVERIFY(std::is_sorted(names.begin(), names.end()));
    }

    void importingStatusCycles()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 130; ++i)
            QVERIFY(WriteFile(dir.filePath(QStringLiteral("p%1.txt").arg(i)), {}));
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

    // 255 LCD files leave only address 1 to start from; 256 do not fit at all.
    void maxStartAddressAtTheLimit()
    {
        QCOMPARE(MaxStartAddressText(255, SwitchTypeCode::Lcd64x32), QString("1"));
        QCOMPARE(MaxStartAddressText(256, SwitchTypeCode::Lcd64x32), QString());
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
        const QString notEnough = QStringLiteral("Not enough addresses for 10 files.\r\nMaximum "
                                                 "address is %1.\r\nMaximum offset is %2.");
        row("hex start one too high", "F7", false, 10, 2, 0, notEnough.arg("F6", "245"));
        row("lower-case hex", "f6", false, 10, 1, 245, "");
        row("three characters for LCD", "0A0", false, 3, 2, 0, "Address must 2 characters long.");
        row("five characters for OLED", "1FFFF", false, 3, 3, 0, "Address must 4 characters long.");
        row("not hex", "G1", false, 3, 2, 0, format);
        row("address 0 is no switch", "00", false, 3, 1, 0, "Address must between 1 and 255.");
        row("OLED start", "1000", false, 16, 3, 0xFFF, "");
        row("OLED block past FFFF", "FFF8", false, 10, 5, 0, notEnough.arg("FFF6", "65525"));
        row("OLED offset beyond the type", "+65536", true, 1, 3, 0,
            "Address must between 1 and 65535.");
        row("offset without plus", "12", true, 3, 3, 12, "");
        row("offset half rounds to even", "+2.5", true, 3, 3, 2, "");
        row("offset half rounds up to even", "+3.5", true, 3, 3, 4, "");
        row("negative offset", "-5", true, 3, 3, 0, format);
        row("offset in hex", "+1A", true, 3, 3, 0, format);
    }
    void checkAddressOffset()
    {
        QFETCH(QString, text);
        QFETCH(bool, offsetMode);
        QFETCH(int, count);
        QFETCH(int, type);
        const OffsetVerdict verdict = CheckAddressOffset(text, offsetMode, count, qint16(type));
        QTEST(verdict.message, "message");
        QTEST(verdict.offset, "offset");
    }

    void estimateRemainingTime_data()
    {
        QTest::addColumn<qint64>("elapsed");
        QTest::addColumn<qint64>("done");
        QTest::addColumn<QString>("label");
        const auto row = [](const char* tag, qint64 elapsed, qint64 done, const char* label) {
            QTest::newRow(tag) << elapsed << done << QString(label);
        };
        row("4 of 10 in 10 s", 10000, 4,
            "Estimated Time Left: 00:00:15, Elapsed: 00:00:10, Unit: 2500ms");
        row("nothing done yet counts one", 1500, 0,
            "Estimated Time Left: 00:00:13, Elapsed: 00:00:02, Unit: 1500ms");
        row("no time passed", 0, 10, "Estimated Time Left: 00:00:00, Elapsed: 00:00:00, Unit: 0ms");
        // Time left drops part seconds; elapsed seconds go up by half and round to even.
        row("parts of seconds", 33515991, 9,
            "Estimated Time Left: 01:02:03, Elapsed: 09:18:36, Unit: 3723999ms");
        row("59 s elapsed shows 60", 59000, 10,
            "Estimated Time Left: 00:00:00, Elapsed: 00:00:60, Unit: 5900ms");
        row("even second stays", 58000, 10,
            "Estimated Time Left: 00:00:00, Elapsed: 00:00:58, Unit: 5800ms");
        row("hours keep two digits", 123LL * 3600000, 10,
            "Estimated Time Left: 00:00:00, Elapsed: 12:00:00, Unit: 44280000ms");
    }
    void estimateRemainingTime()
    {
        QFETCH(qint64, elapsed);
        QFETCH(qint64, done);
        const qint64 start = 1000000;
        QTEST(TimeLabelText(EstimateRemainingTime(start, start + elapsed, done, 10)), "label");
    }

    // A report reads back as written in either form, names with commas and quotes included, so a
    // resume finds every picture it marks done.
    void reportReadsBackAsWritten_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("csv") << "report.csv";
        QTest::newRow("json") << "report.JSON";
    }
    void reportReadsBackAsWritten()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        const BatchResults written{{"a, \"b\".bmp", "0010", 6, PictureOutcome::Refused, 981, 1536},
                                   {"c.bmp", "0011", 1, PictureOutcome::Done, 142, 1536},
                                   {"d.bmp", "0012", 6, PictureOutcome::NoReply, 2500, 1536},
                                   {"e.bmp", "0013", 0, PictureOutcome::Skipped, 0, 0},
                                   {"f.bmp", "0014", 1, PictureOutcome::Blocked, 5004, 1536}};
        const auto fields = [](const BatchPictureResult& r) {
            return std::tuple(r.file, r.address, r.attempts, r.outcome, r.ms, r.bytes);
        };
        QCOMPARE(WriteBatchReport(path, written), QString());
        const ReadReport read = ReadBatchReport(path);
        QCOMPARE(read.error, QString());
        QCOMPARE(read.results.size(), written.size());
        for (qsizetype i = 0; i < written.size(); ++i)
            QCOMPARE(fields(read.results.at(i)), fields(written.at(i)));
    }

    // A picture the line stops taking is not sent again: the run ends after it, even one that goes
    // on after failures, with the picture reported blocked and the blocked-line text in its
    // message; the next picture is not sent.
    void blockedLineEndsTheRun()
    {
        QTemporaryDir dir;
        QImage white(64, 48, QImage::Format_RGB32);
        white.fill(Qt::white);
        for (const char* name : {"a.bmp", "b.bmp"})
            QVERIFY(
                WriteFile(dir.filePath(name), AcceptedBitmap(SwitchTypeCode::Oled64x48, white)));
        LinkRig rig;
        rig.catalog.addPort("/dev/fake", QString(),
                            [] { return std::make_unique<ScriptedPort>(); });
        rig.state.RequestedPort = 1;
        rig.link.setPortNumber(1);
        QVERIFY(rig.link.OpenPort());
        auto* port = static_cast<ScriptedPort*>(rig.catalog.port(1));
        // The header is taken and answered; nothing after it leaves.
        port->responder = [port](const QByteArray& bytes) {
            if (port->writes.size() > 1)
                port->queued += bytes.size();
            return port->writes.size() == 1 ? QByteArray("a") : QByteArray();
        };
        rig.state.TypeCode = SwitchTypeCode::Oled64x48;
        rig.state.ControllerCheckFlag = 1;
        rig.state.PictureFolder = dir.path() + u'/';
        TakeBatchFiles(rig.state, {QString(), "a.bmp", "b.bmp"});
        RecordingBatchView view;
        BatchRun run(rig.link, view, BatchRun::AfterFailure::GoOn);
        run.begin();
        run.RunBatch(1, 2);

        QCOMPARE(port->writes.count(QByteArray("(0001")), 1);
        QVERIFY(!port->writes.contains(QByteArray("(0002")));
        QCOMPARE(view.colours, (QMap<int, RowColour>{{1, RowColour::Red}}));
        QCOMPARE(run.results().at(0).attempts, 1);
        QCOMPARE(rig.shell.shown(),
                 QStringList{"Download Picture Message: Error while downloading images.\r\na.bmp "
                             "was not sent to address 0001: The line was blocked for 5 s; 0 of "
                             "12288 characters sent."});
        QVERIFY(rig.state.CancelFlag);
        QCOMPARE(BatchSummaryText(SummariseBatch(run.results(), 5000)),
                 "0 done, 0 refused, 0 no reply, 1 skipped, 1 blocked, 00:00:05");
    }
};

QTEST_GUILESS_MAIN(TestBatchLogic)
#include "tst_batchlogic.moc"
