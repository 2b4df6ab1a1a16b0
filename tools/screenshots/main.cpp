// Takes the README's screenshots of the real program on a 1600 x 900 desktop: the main window
// after the controller query, a picture downloaded from the single picture screen, and a batch
// downloaded from the batch screen. Message boxes and dialogs answer from a script.

#include "SamplePictures.h"
#include "VirtualProgram.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

template <typename T> T* Find(const QWidget& root, const char* name)
{
    T* widget = root.findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("no widget named %s", name);
    return widget;
}

bool Save(QWidget& window, const QString& path)
{
    // Long enough for the traffic log to write what it gathered.
    QEventLoop settle;
    QTimer::singleShot(200, &settle, &QEventLoop::quit);
    settle.exec();
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

void Choose(QComboBox* combo, int entry)
{
    combo->setCurrentIndex(entry);
    Q_EMIT combo->activated(entry);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantrel-screenshots <folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    // A program folder with a short, plain name, as the operator's own would be.
    QDir folder(QDir::temp().filePath(QStringLiteral("Vantrel")));
    folder.removeRecursively();
    if (!folder.mkpath(QStringLiteral(".")) || !SeedSamplePictures(folder.path()))
        return 1;
    VirtualProgram program(folder.path());
    ProgramWindow& form = *program.form;
    ScriptedUiSeam& seam = program.seam;
    if (!form.start())
        return 1;

    Find<QPushButton>(form, "cmdQuery")->click();
    bool ok = Save(form, out.filePath(QStringLiteral("main.png")));

    seam.openPaths.push_back(folder.filePath(QStringLiteral("COLOR 96x64 Rocket.bmp")));
    Choose(Find<QComboBox>(form, "cmbFileName"), 0);
    Find<QPushButton>(form, "cmdShowPicture")->click();
    ok = Save(form, out.filePath(QStringLiteral("single-downloaded.png"))) && ok;

    Find<QAction>(form, "mnuBatchPictures")->trigger();
    seam.openPaths.push_back(folder.filePath(QStringLiteral("Koala.bmp")));
    Find<QPushButton>(form, "cmdImportBatch")->click();
    Find<QPushButton>(form, "cmdDownloadBatch")->click();
    ok = Save(form, out.filePath(QStringLiteral("batch-finished.png"))) && ok;
    folder.removeRecursively();
    return ok ? 0 : 1;
}
