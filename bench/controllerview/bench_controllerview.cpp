// What the controller view costs the window during a batch: the longest gap between processed
// window events while the batch picture screen sends 500 MONO 96x64 pictures over the built-in
// controller's line-modelled port at 115200 bit/s, with the controller view open (target under
// 50 ms), against the same batch with the view closed (baseline), each in a fresh program wired
// as `vantrel --simulator` wires it.
// Usage: bench_controllerview [pictures, default 500]

#include "GapMeter.h"
#include "PictureCopies.h"
#include "SamplePictures.h"
#include "VirtualProgram.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

namespace {

constexpr int DefaultPictures = 500;
constexpr qint16 MonoType = 5; // MONO 96x64
constexpr qint64 TargetPauseMs = 50;

struct Run
{
    qint64 longestGapMs = 0;
    qsizetype longPauses = 0; // pauses over the target
    qint64 elapsedMs = 0;
    QString downloaded;
};

QByteArray sampleBytes()
{
    QFile sample(QStringLiteral(":/samples/MONO 96x64 Bell.bmp"));
    return sample.open(QIODevice::ReadOnly) ? sample.readAll() : QByteArray();
}

void choose(QWidget* screen, const char* combo, const QString& text)
{
    auto* box = screen->findChild<QComboBox*>(QLatin1String(combo));
    box->setCurrentIndex(box->findText(text));
    Q_EMIT box->activated(box->currentIndex());
}

std::optional<Run> batchRun(const QString& programFolder, const QString& pictures, bool withView)
{
    VirtualProgram program(programFolder);
    ProgramWindow& form = *program.form;
    program.controller.setIdentity({'5', "GLINTSIM", 'V', "1.00"});
    form.setControllerMemory(&program.controller);
    if (!form.start())
        return std::nullopt;
    program.state.ControllerSetting = MonoType;
    if (withView)
        form.findChild<QAction*>(QStringLiteral("mnuControllerView"))->trigger();
    form.findChild<QAction*>(QStringLiteral("mnuBatchPictures"))->trigger();
    auto* screen = form.findChild<QWidget*>(QStringLiteral("frmBatchPicture"));
    choose(screen, "cmbSwitchType", QStringLiteral("MONO 96x64"));
    program.seam.openPaths.push_back(pictures + QStringLiteral("/pic00000.bmp"));
    screen->findChild<QPushButton*>(QStringLiteral("cmdImportBatch"))->click();
    choose(screen, "cmbPortSpeed", QStringLiteral("115200"));
    // Side by side, so the view is drawn whole while the batch runs.
    form.findChild<QMdiArea*>(QStringLiteral("mdiArea"))->tileSubWindows();

    program.seam.answers = {MessageAnswer::No}; // no refresh of the controller at the end
    GapMeter meter;
    QElapsedTimer clock;
    meter.start();
    clock.start();
    screen->findChild<QPushButton*>(QStringLiteral("cmdDownloadBatch"))->click();
    // The window is left open: closing it would end the application's event loop, and with it
    // every later wait.
    const qint64 longest = meter.stop();
    return Run{longest, meter.gapsLongerThan(TargetPauseMs), clock.elapsed(), form.panelText(4)};
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int count =
        argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : DefaultPictures;
    QTemporaryDir root;
    const QString pictures = root.filePath(QStringLiteral("pictures"));
    if (!SeedSamplePictures(root.path()) || !WriteCopies(pictures, sampleBytes(), count))
        return 1;
    const std::optional<Run> closed = batchRun(root.path(), pictures, false);
    const std::optional<Run> open = batchRun(root.path(), pictures, true);
    if (!closed || !open)
        return 1;
    std::printf("Batch of %d MONO 96x64 pictures over the line-modelled port at 115200 bit/s\n",
                count);
    std::printf("  view closed: %lld ms, %s; longest window pause %lld ms (baseline), %lld pauses "
                "over %lld ms\n",
                closed->elapsedMs, qPrintable(closed->downloaded), closed->longestGapMs,
                qlonglong(closed->longPauses), TargetPauseMs);
    std::printf("  view open:   %lld ms, %s; longest window pause %lld ms (target under %lld), "
                "%lld pauses over it; ratio %.2f\n",
                open->elapsedMs, qPrintable(open->downloaded), open->longestGapMs, TargetPauseMs,
                qlonglong(open->longPauses),
                double(open->longestGapMs) / double(std::max<qint64>(1, closed->longestGapMs)));
    return 0;
}
