// What a large batch costs the window, and what a batch run adds to each picture.
//   (a) Import of folders of 2,500, 5,000 and 10,000 MONO 96x64 bitmaps through the batch picture
//       screen: time (target under 2 s for 10,000), the growth per doubling (linear: 2.0), and
//       the longest gap between processed window events against the idle window's.
//   (b) "None" and the refresh it asks for on the 10,000-row list (target under 0.2 s), and a
//       start address looked up among 10,000 entries.
//   (c) The batch run over 50 COLOR 96x64 pictures (driven directly: the screen does not offer
//       the type, the run does not care) on the virtual controller's line-modelled port at
//       115200 bit/s with a 16-byte transmit FIFO, with a list, preview and time label as the
//       screen has them: time per picture minus the picture's line time, against the same
//       overhead of a bare TransferData of one picture in the same run.
// Usage: bench_batch [pictures for (c), default 50]

#include "AppState.h"
#include "BatchFileModel.h"
#include "BatchRun.h"
#include "ControllerLink.h"
#include "Conversions.h"
#include "GapMeter.h"
#include "PictureCopies.h"
#include "PicturePreview.h"
#include "PortCatalog.h"
#include "QuietLinkSide.h"
#include "SamplePictures.h"
#include "ScriptedUiSeam.h"
#include "SelfTest.h"
#include "VirtualController.h"
#include "VirtualProgram.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <cstdio>

namespace {

constexpr int ImportSizes[] = {2500, 5000, 10000};
constexpr qint32 LineSpeed = 115200;
constexpr int BitsPerCharacter = 10; // start bit, eight data bits, stop bit
constexpr int BaselineTransfers = 3;

QByteArray sampleBytes(const QString& name)
{
    QFile file(QStringLiteral(":/samples/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

double msOf(const std::function<void()>& work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e6;
}

// A nested loop rather than the application's own: once that has been told to quit, every
// later event loop (the link's waits among them) would end at once.
qint64 idleGap(int ms)
{
    GapMeter meter;
    meter.start();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return meter.stop();
}

// (a) and (b) -----------------------------------------------------------------------------------

bool importAndList(const QString& root)
{
    const QByteArray mono = sampleBytes(QStringLiteral("MONO 96x64 Bell.bmp"));
    for (int size : ImportSizes) {
        if (!WriteCopies(QStringLiteral("%1/%2").arg(root).arg(size), mono, size))
            return false;
    }
    VirtualProgram program(root);
    ProgramWindow& form = *program.form;
    if (!form.start())
        return false;
    form.findChild<QAction*>(QStringLiteral("mnuBatchPictures"))->trigger();
    auto* screen = form.findChild<QWidget*>(QStringLiteral("frmBatchPicture"));
    const auto button = [screen](const char* name) {
        return screen->findChild<QPushButton*>(QLatin1String(name));
    };
    auto* types = screen->findChild<QComboBox*>(QStringLiteral("cmbSwitchType"));
    types->setCurrentIndex(4);
    Q_EMIT types->activated(4);

    std::printf("(a) import of MONO 96x64 bitmaps through the batch picture screen\n");
    double previous = 0;
    qint64 longestGap = 0;
    for (int size : ImportSizes) {
        program.seam.openPaths.push_back(QStringLiteral("%1/%2/pic00000.bmp").arg(root).arg(size));
        GapMeter meter;
        meter.start();
        const double ms = msOf([&] { button("cmdImportBatch")->click(); });
        longestGap = meter.stop();
        std::printf("    %5d files: %7.1f ms (%s)", size, ms, qPrintable(form.panelText(3)));
        if (previous > 0)
            std::printf(", %.2f times the half-size import (linear: 2.00)", ms / previous);
        std::printf("\n");
        previous = ms;
    }
    const qint64 baseline = idleGap(500);
    std::printf("    (a) 10,000 files: %.3f of the 2 s target\n", previous / 2000.0);
    std::printf("    longest gap between window events: importing %lld ms, idle %lld ms "
                "(baseline), ratio %.1f\n",
                longestGap, baseline, double(longestGap) / double(std::max<qint64>(baseline, 1)));

    std::printf("(b) the 10,000-row list\n");
    GapMeter meter;
    meter.start();
    // "None" on a list this long unticks every row and asks for a refresh.
    const double uncheck = msOf([&] { button("cmdCheckNone")->click(); });
    const double refresh = msOf([&] { button("cmdRefresh")->click(); });
    const qint64 listGap = meter.stop();
    std::printf("    \"None\" %.1f ms, then refresh %.1f ms (%.3f of the 0.2 s target); longest "
                "gap %lld ms\n",
                uncheck, refresh, refresh / 200.0, listGap);
    auto* start = screen->findChild<QComboBox*>(QStringLiteral("cmbStartAddresses"));
    const auto leaveStart = [start](const QString& typed) {
        start->setEditText(typed);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        return msOf([&] { QApplication::sendEvent(start, &out); });
    };
    const double nearStart = leaveStart(QStringLiteral("0002"));
    const double nearEnd = leaveStart(QStringLiteral("2700"));
    std::printf("    start address chosen among 10,000: near the start %.2f ms, near the end "
                "%.2f ms\n",
                nearStart, nearEnd);
    return program.state.BatchRecords.size() == 10001 && program.seam.messages.size() == 3;
}

// (c) -------------------------------------------------------------------------------------------

// The run's view with the work the screen does per picture: list colours, scrolling, the
// preview and the time label.
class RunView final : public BatchRunView
{
public:
    explicit RunView(const AppState& state)
        : m_state(state)
    {
        m_list.setModel(&m_files);
        m_border.resize(204, 140);
        m_holder.setParent(&m_border);
    }
    void fill(int count)
    {
        QList<BatchFileModel::Row> rows;
        for (int i = 1; i <= count; ++i)
            AddFileListItem(rows, m_state.AssignedAddresses.at(i), m_state.BatchRecords.at(i).Path,
                            true);
        m_files.setRows(rows);
    }
    void setRowColour(int index, RowColour colour) override
    {
        m_files.setRowColour(index - 1, colour);
    }
    void revealRow(int index) override { m_list.scrollTo(m_files.index(index - 1, 0)); }
    void previewFile(int index) override
    {
        ShowPicturePreview(m_state.PictureFolder + m_state.BatchRecords.at(index).Path, &m_holder,
                           &m_border);
    }
    void setTimeText(const QString& text) override { m_time.setText(text); }
    bool withTypeLetter() const override { return true; }

private:
    const AppState& m_state;
    BatchFileModel m_files;
    QTreeView m_list;
    QWidget m_border;
    QLabel m_holder;
    QLabel m_time;
};

bool colourRun(const QString& root, int pictures)
{
    const QString folder = root + QStringLiteral("/colour/");
    if (!WriteCopies(folder, sampleBytes(QStringLiteral("COLOR 96x64 Rocket.bmp")), pictures))
        return false;
    VirtualController controller;
    controller.setIdentity({'6', "GLINTSIM", 'V', "1.00"});
    PortCatalog catalog;
    AddVirtualControllerPort(catalog, controller); // line-modelled, with a UART's 16-byte FIFO
    AppState state;
    state.TypeCode = SwitchTypeCode::Color96x64;
    state.ControllerSetting = SwitchTypeCode::Color96x64;
    state.RequestedPort = 1;
    state.RequestedSpeed = LineSpeed;
    state.PictureFolder = folder;
    state.BatchRecords = PictureFileRecords(pictures + 1);
    for (int i = 1; i <= pictures; ++i)
        state.BatchRecords[i].Path =
            QStringLiteral("pic%1.bmp").arg(i - 1, 5, 10, QLatin1Char('0'));
    state.AssignedAddresses = MakeAddressList(pictures, state.TypeCode);
    state.CheckedFlags = QList<bool>(pictures + 1, true);
    QuietLinkSide shell;
    ControllerLink link(state, catalog, shell);
    link.setActiveScreen(&shell);
    link.setPortNumber(1);
    if (!link.OpenPort())
        return false;

    // Baseline: the link alone moving the same picture, the best of a few runs.
    const QString block = BatchPictureBlock(state, 1, shell);
    double bareMs = 1e12;
    double bareLineMs = 0;
    for (int i = 0; i < BaselineTransfers; ++i) {
        const qsizetype before = controller.receivedBytes().size();
        const double ms = msOf([&] { link.TransferData(true, QStringLiteral("0001"), block); });
        bareLineMs = double(controller.receivedBytes().size() - before) * BitsPerCharacter *
                     1000.0 / LineSpeed;
        bareMs = std::min(bareMs, ms);
    }

    RunView view(state);
    view.fill(pictures);
    BatchRun run(link, view);
    const qsizetype before = controller.receivedBytes().size();
    run.begin();
    const double ms = msOf([&] { run.RunBatch(1, pictures); });
    const qsizetype sent = controller.receivedBytes().size() - before;
    const double lineMs = double(sent) * BitsPerCharacter * 1000.0 / LineSpeed;
    const double perPicture = ms / pictures;

    std::printf("(c) batch run of %d COLOR 96x64 pictures, line-modelled port at %d bit/s, "
                "16-byte transmit FIFO\n",
                pictures, LineSpeed);
    std::printf("    %d confirmed, %lld characters sent, run %.0f ms, line time %.0f ms\n",
                run.downloadedCount(), qlonglong(sent), ms, lineMs);
    std::printf("    batch: %.1f ms per picture, line time %.1f ms; bare TransferData (best of "
                "%d): %.1f ms, line time %.1f ms (baseline)\n",
                perPicture, lineMs / pictures, BaselineTransfers, bareMs, bareLineMs);
    std::printf("    (c) overhead per picture: batch %.1f ms, bare TransferData %.1f ms; ratio "
                "batch / bare per picture %.3f\n",
                perPicture - lineMs / pictures, bareMs - bareLineMs, perPicture / bareMs);
    return run.downloadedCount() == pictures;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int pictures = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 50;
    QTemporaryDir root;
    const bool listed = importAndList(root.path());
    const bool ran = colourRun(root.path(), pictures);
    if (!listed || !ran)
        std::printf("bench_batch: a step did not complete as expected\n");
    return listed && ran ? 0 : 1;
}
