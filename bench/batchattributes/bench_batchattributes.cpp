// What the batch attribute table costs the window, and what its run adds to each row.
//   (a) A batch of 10,000 MONO 96x64 pictures with a saved attribute file of 10,000 lines: opening
//       "Batch Attributes Download" (the file read, every row filled, the table built) and "Save
//       Attributes" (target under 0.5 s each), against reading and writing the same bytes bare.
//   (b) Opening the row editor over a row of that table and closing it (target under 50 ms),
//       against an empty dialog opened and closed the same way.
//   (c) The batch attribute run over the virtual controller's line-modelled port at 115200 bit/s
//       with a 16-byte transmit FIFO: time per row against the line time of its characters, and
//       against the same commands sent bare through the link's attribute send (target: the run
//       adds at most a fifth).
// Usage: bench_batchattributes [rows for (c), default 100]

#include "AppState.h"
#include "AttributeRun.h"
#include "ControllerLink.h"
#include "PortCatalog.h"
#include "QuietLinkSide.h"
#include "SelfTest.h"
#include "VirtualController.h"
#include "VirtualProgram.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int TableRows = 10000;
constexpr int EditorOpenings = 5;
constexpr qint32 LineSpeed = 115200;
constexpr int BitsPerCharacter = 10; // start bit, eight data bits, stop bit

double msOf(const std::function<void()>& work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e6;
}

bool writeBatch(const QString& folder)
{
    QFile sample(QStringLiteral(":/samples/MONO 96x64 Bell.bmp"));
    if (!sample.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = sample.readAll();
    QByteArray saved;
    for (int i = 0; i < TableRows; ++i) {
        const QString name = QStringLiteral("pic%1.bmp").arg(i, 5, 10, QLatin1Char('0'));
        QFile file(folder + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
        saved += QStringLiteral("%1|%2|%3||\r\n")
                     .arg(name, QString::number(i + 1, 16).rightJustified(4, u'0'),
                          QString::number(i, 16).rightJustified(28, u'0'))
                     .toLatin1();
    }
    QFile file(folder + QStringLiteral("SavedAttributesOLED96X64.txt"));
    return file.open(QIODevice::WriteOnly) && file.write(saved) == saved.size();
}

// Opens `open` and times until a modal dialog named `name` shows; closes it at once.
double msToModal(const char* name, const std::function<void()>& open)
{
    QElapsedTimer clock;
    double shownAfter = -1;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QLatin1String(name) || !dialog->isVisible())
            return;
        shownAfter = double(clock.nsecsElapsed()) / 1e6;
        poll.stop();
        dialog->reject();
    });
    poll.start();
    clock.start();
    open();
    return shownAfter;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

bool tableAndEditor(const QString& root)
{
    const QString folder = root + QStringLiteral("/batch/");
    QDir().mkpath(folder);
    if (!writeBatch(folder))
        return false;
    VirtualProgram program(root);
    if (!program.form->start())
        return false;
    program.form->findChild<QAction*>(QStringLiteral("mnuBatchPictures"))->trigger();
    auto* screen = program.form->findChild<QWidget*>(QStringLiteral("frmBatchPicture"));
    auto* types = screen->findChild<QComboBox*>(QStringLiteral("cmbSwitchType"));
    types->setCurrentIndex(4);
    Q_EMIT types->activated(4);
    program.seam.openPaths.push_back(folder + QStringLiteral("pic00000.bmp"));
    screen->findChild<QPushButton*>(QStringLiteral("cmdImportBatch"))->click();
    // A batch this size asks for a refresh after "None"; none is needed right after the import.

    const QString savedPath = folder + QStringLiteral("SavedAttributesOLED96X64.txt");
    QByteArray bytes;
    const double bareRead = msOf([&] {
        QFile file(savedPath);
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        const QList<QByteArray> lines = bytes.split('\n');
        Q_UNUSED(lines);
    });
    const double open = msOf(
        [&] { screen->findChild<QPushButton*>(QStringLiteral("cmdEditAttributes"))->click(); });
    auto* window = screen->findChild<QWidget*>(QStringLiteral("frmBatchAttributes"));
    if (!window)
        return false;
    const auto button = [window](const char* name) {
        return window->findChild<QPushButton*>(QLatin1String(name));
    };
    const double save = msOf([&] { button("cmdSave")->click(); });
    const double bareWrite = msOf([&] {
        QFile file(root + QStringLiteral("/bare.txt"));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    });
    std::printf("(a) %d rows of MONO 96x64 attributes\n", TableRows);
    std::printf("    open the window %.1f ms (%.3f of the 0.5 s target), bare read and split "
                "%.1f ms (baseline), ratio %.1f\n",
                open, open / 500.0, bareRead, open / std::max(bareRead, 0.001));
    std::printf("    save %.1f ms (%.3f of the 0.5 s target), bare write %.1f ms (baseline), "
                "ratio %.1f\n",
                save, save / 500.0, bareWrite, save / std::max(bareWrite, 0.001));

    QList<double> editor, empty;
    for (int i = 0; i < EditorOpenings; ++i) {
        editor << msToModal("frmSelectRow", [&] { button("cmdEdit")->click(); });
        empty << msToModal("emptyDialog", [window] {
            QDialog dialog(window);
            dialog.setObjectName(QStringLiteral("emptyDialog"));
            dialog.exec();
        });
    }
    std::printf("(b) row editor over a row of %d (median of %d): %.2f ms (%.3f of the 50 ms "
                "target), empty dialog %.2f ms (baseline), ratio %.1f\n",
                TableRows, EditorOpenings, median(editor), median(editor) / 50.0, median(empty),
                median(editor) / std::max(median(empty), 0.001));
    program.seam.messages.clear();
    window->close();
    return program.state.BatchRecords.size() == TableRows + 1 &&
           QFile(savedPath).size() == bytes.size();
}

// The window side of the link, reduced to nothing, and a run that shows nothing.
class QuietShell final : public QuietLinkSide, public AttributeRunView
{
public:
    void showRowState(int, AttributeRowState) override {}
};

bool attributeRun(int rows)
{
    VirtualController controller;
    controller.setIdentity({'5', "GLINTSIM", 'V', "1.00"});
    PortCatalog catalog;
    AddVirtualControllerPort(catalog, controller); // line-modelled, with a UART's 16-byte FIFO
    AppState state;
    state.TypeCode = SwitchTypeCode::Mono96x64;
    state.RequestedPort = 1;
    state.RequestedSpeed = LineSpeed;
    QuietShell shell;
    ControllerLink link(state, catalog, shell);
    link.setActiveScreen(&shell);
    link.setPortNumber(1);
    if (!link.OpenPort())
        return false;
    QList<AttributeJob> jobs;
    for (int i = 1; i <= rows; ++i) {
        const QByteArray address = QByteArray::number(i, 16).rightJustified(4, '0').toUpper();
        jobs.append({QStringLiteral("pic.bmp"), QString::fromLatin1(address),
                     "*U" + address + QByteArray(28, 'A')});
    }

    const qsizetype before = controller.receivedBytes().size();
    const double bare = msOf([&] {
        for (const AttributeJob& job : jobs)
            SendAttributeCommand(link, job.command);
    });
    const double lineMs =
        double(controller.receivedBytes().size() - before) * BitsPerCharacter * 1000.0 / LineSpeed;
    AttributeRun run(link, shell);
    const double ms = msOf([&] { run.DownloadRows(jobs); });

    std::printf("(c) batch attribute run of %d MONO 96x64 rows, line-modelled port at %d bit/s, "
                "16-byte transmit FIFO\n",
                rows, LineSpeed);
    std::printf("    %d confirmed; per row: run %.2f ms, bare attribute send %.2f ms (baseline), "
                "line time of its characters %.2f ms\n",
                run.downloadedCount(), ms / rows, bare / rows, lineMs / rows);
    std::printf("    (c) ratio run / bare send per row %.3f (target at most 1.2); run / line time "
                "%.1f (the controller answers a record after a quiet line)\n",
                ms / bare, ms / lineMs);
    return run.downloadedCount() == rows;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 100;
    QTemporaryDir root;
    const bool table = tableAndEditor(root.path());
    const bool ran = attributeRun(rows);
    if (!table || !ran)
        std::printf("bench_batchattributes: a step did not complete as expected\n");
    return table && ran ? 0 : 1;
}
