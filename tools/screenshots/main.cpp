// Takes the README's screenshots of the real program on a 1600 x 900 desktop: the main window
// after the controller query, a picture downloaded from the single picture screen, and a batch
// downloaded from the batch screen, and the batch attribute table: as loaded, with the row editor
// over a row, and during its run; the switch data window; the controller view of what all of
// that left in the controller's memory; and the two previews of the single picture screen for
// every display type. Message boxes and dialogs answer from a script.

#include "SamplePhoto.h"
#include "SamplePictures.h"
#include "VirtualProgram.h"

#include "AttributeTableModel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

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

// A batch of twelve MONO 96x64 keys, and attribute values saved for them earlier.
bool WriteAttributeBatch(const QDir& folder)
{
    if (!folder.mkpath(QStringLiteral(".")))
        return false;
    QByteArray saved;
    for (int i = 1; i <= 12; ++i) {
        const QString name = QStringLiteral("Lift Key %1.bmp").arg(i, 2, 10, QLatin1Char('0'));
        const QString sample =
            i % 2 ? QStringLiteral("MONO 96x64 Bell.bmp") : QStringLiteral("MONO 96x64 Gears.bmp");
        if (!QFile::copy(QStringLiteral(":/samples/") + sample, folder.filePath(name)))
            return false;
        // TOP, MID, BTM and EP1, the two timers, LFT and RHT.
        const QString attributes = QStringLiteral("%1%2%3%4%5%6%7%8")
                                       .arg(i, 4, 16, QLatin1Char('0'))
                                       .arg(0x100 + i, 4, 16, QLatin1Char('0'))
                                       .arg(0x200 + i, 4, 16, QLatin1Char('0'))
                                       .arg(0x3F, 4, 16, QLatin1Char('0'))
                                       .arg(10 * (i % 3), 2, 16, QLatin1Char('0'))
                                       .arg(0xFF, 2, 16, QLatin1Char('0'))
                                       .arg(i % 2 ? 1 : 0, 4, 16, QLatin1Char('0'))
                                       .arg(i % 2 ? 0 : 1, 4, 16, QLatin1Char('0'))
                                       .toUpper();
        saved += QStringLiteral("%1|%2|%3||\r\n")
                     .arg(name, QString::number(i, 16).rightJustified(4, u'0'), attributes)
                     .toLatin1();
    }
    QFile file(folder.filePath(QStringLiteral("SavedAttributesOLED96X64.txt")));
    return file.open(QIODevice::WriteOnly) && file.write(saved) == saved.size();
}

// The window with the row editor drawn where it lies over the row.
bool SaveRowEditor(QWidget& window, const QString& path)
{
    bool saved = false;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* editor = QApplication::activeModalWidget();
        if (!editor || editor->objectName() != QLatin1String("frmSelectRow"))
            return;
        poll.stop();
        QPixmap picture = window.grab();
        QPainter painter(&picture);
        painter.drawPixmap(editor->mapToGlobal(QPoint()) - window.mapToGlobal(QPoint()),
                           editor->grab());
        painter.end();
        saved = picture.save(path);
        std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
        QTest::keyClick(editor->focusWidget(), Qt::Key_Escape);
    });
    poll.start();
    Find<QPushButton>(window, "cmdEdit")->click();
    return saved;
}

// The window while its run sends the fifth row.
bool SaveRun(QWidget& window, const QString& path)
{
    auto* table = Find<QTreeView>(window, "LsvManyFiles");
    auto* rows = qobject_cast<AttributeTableModel*>(table->model());
    bool saved = false;
    QObject::connect(rows, &QAbstractItemModel::dataChanged, &window, [&] {
        if (saved || rows->row(4).colour != RowColour::Blue)
            return;
        saved = Save(window, path);
    });
    Find<QPushButton>(window, "cmdDownloadAttributes")->click();
    return saved;
}

bool AttributeScreenshots(ProgramWindow& form, const QDir& folder, ScriptedUiSeam& seam,
                          const QDir& out)
{
    const QDir batch(folder.filePath(QStringLiteral("Lift")));
    if (!WriteAttributeBatch(batch))
        return false;
    Choose(Find<QComboBox>(form, "cmbSwitchType"), 4);
    seam.openPaths.push_back(batch.filePath(QStringLiteral("Lift Key 01.bmp")));
    Find<QPushButton>(form, "cmdImportBatch")->click();
    QWidget* screen = Find<QWidget>(form, "frmBatchPicture");
    Find<QPushButton>(*screen, "cmdEditAttributes")->click();
    QWidget& window = *Find<QWidget>(*screen, "frmBatchAttributes");
    bool ok = Save(window, out.filePath(QStringLiteral("batch-attributes-table.png")));
    ok = SaveRowEditor(window, out.filePath(QStringLiteral("batch-attributes-row-editor.png"))) &&
         ok;
    ok = SaveRun(window, out.filePath(QStringLiteral("batch-attributes-run.png"))) && ok;
    window.close();
    return ok;
}

// The switch data window on the picture the single picture screen chose, sent to an address of
// its own, then with that picture uploaded back from the controller.
bool SwitchDataScreenshots(ProgramWindow& form, const QDir& out)
{
    Find<QAction>(form, "mnuSwitchData")->trigger();
    QWidget& screen = *Find<QWidget>(form, "frmSwitchDataFile");
    Find<QLineEdit>(screen, "txtAddress")->setText(QStringLiteral("0020"));
    Find<QPushButton>(screen, "cmdDownloadSwitchData")->click();
    bool ok = Save(form, out.filePath(QStringLiteral("switchdata-bitmap.png")));
    Find<QPushButton>(screen, "cmdUploadData")->click();
    return Save(form, out.filePath(QStringLiteral("switchdata-uploaded.png"))) && ok;
}

// The controller view, filling the screen area, after the batch of lift keys has been sent too.
bool ControllerViewScreenshot(ProgramWindow& form, const QDir& out)
{
    Find<QAction>(form, "mnuBatchPictures")->trigger();
    Find<QPushButton>(*Find<QWidget>(form, "frmBatchPicture"), "cmdDownloadBatch")->click();
    Find<QAction>(form, "mnuControllerView")->trigger();
    Find<QWidget>(form, "frmControllerView")->parentWidget()->showMaximized();
    return Save(form, out.filePath(QStringLiteral("controller-view.png")));
}

// The single picture screen's file preview and "As the switch shows it" for a sample of every
// display type, gathered on one sheet, two to a row. The last sample, newly listed, stays chosen.
bool PreviewSheet(ProgramWindow& form, const QDir& folder, ScriptedUiSeam& seam, const QDir& out)
{
    const char* const samples[] = {"LCD 36x24 Power.bmp",   "LCD 64x32 Speaker.bmp",
                                   "OLED 64x48 Sunset.bmp", "OLED 52x36 Clownfish.bmp",
                                   "MONO 96x64 Gears.bmp",  "COLOR 96x64 Rocket.bmp"};
    QWidget& frame = *Find<QWidget>(form, "famPicture");
    QList<QPixmap> cells;
    for (const char* sample : samples) {
        seam.openPaths.push_back(folder.filePath(QString::fromLatin1(sample)));
        Choose(Find<QComboBox>(form, "cmbFileName"), 0);
        const QRect previews = Find<QWidget>(frame, "picHolderBorder")
                                   ->geometry()
                                   .united(Find<QWidget>(frame, "picSwitchPreview")->geometry());
        cells << frame.grab(previews);
    }
    constexpr int Gap = 16;
    const QSize cell = cells.first().deviceIndependentSize().toSize() + QSize(Gap, Gap);
    QPixmap sheet(QSize(2 * cell.width() + Gap, 3 * cell.height() + Gap) *
                  form.devicePixelRatioF());
    sheet.setDevicePixelRatio(form.devicePixelRatioF());
    sheet.fill(form.palette().color(QPalette::Window));
    QPainter painter(&sheet);
    for (int i = 0; i < cells.size(); ++i)
        painter.drawPixmap(Gap + (i % 2) * cell.width(), Gap + (i / 2) * cell.height(), cells[i]);
    painter.end();
    const QString path = out.filePath(QStringLiteral("switch-previews.png"));
    const bool saved = sheet.save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

// The Convert Picture dialog on a photo: dithered for a MONO 96x64 key, then in the colours of a
// COLOR 96x64 key.
bool ConvertScreenshots(ProgramWindow& form, const QDir& folder, ScriptedUiSeam& seam,
                        const QDir& out)
{
    const QString photo = folder.filePath(QStringLiteral("Harbour.jpg"));
    SamplePhoto({1600, 1200}).save(photo);
    seam.openPaths.push_back(photo);
    Find<QAction>(form, "mnuConvertPicture")->trigger();
    QWidget& dialog = *Find<QWidget>(form, "frmConvertPicture");
    Choose(Find<QComboBox>(dialog, "cmbSwitchType"), 4);
    Choose(Find<QComboBox>(dialog, "cmbDither"), 1);
    bool ok = Save(dialog, out.filePath(QStringLiteral("convert-mono-dithered.png")));
    Choose(Find<QComboBox>(dialog, "cmbSwitchType"), 5);
    Choose(Find<QComboBox>(dialog, "cmbFit"), 1);
    ok = Save(dialog, out.filePath(QStringLiteral("convert-colour.png"))) && ok;
    dialog.close();
    return ok;
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
    form.setControllerMemory(&program.controller); // as `vantrel --simulator` does
    if (!form.start())
        return 1;

    Find<QPushButton>(form, "cmdQuery")->click();
    bool ok = Save(form, out.filePath(QStringLiteral("main.png")));
    ok = PreviewSheet(form, folder, seam, out) && ok;

    seam.openPaths.push_back(folder.filePath(QStringLiteral("COLOR 96x64 Rocket.bmp")));
    Choose(Find<QComboBox>(form, "cmbFileName"), 0);
    Find<QPushButton>(form, "cmdShowPicture")->click();
    ok = Save(form, out.filePath(QStringLiteral("single-downloaded.png"))) && ok;

    Find<QAction>(form, "mnuBatchPictures")->trigger();
    seam.openPaths.push_back(folder.filePath(QStringLiteral("Koala.bmp")));
    Find<QPushButton>(form, "cmdImportBatch")->click();
    Find<QPushButton>(form, "cmdDownloadBatch")->click();
    ok = Save(form, out.filePath(QStringLiteral("batch-finished.png"))) && ok;
    ok = AttributeScreenshots(form, folder, seam, out) && ok;
    ok = SwitchDataScreenshots(form, out) && ok;
    ok = ControllerViewScreenshot(form, out) && ok;
    ok = ConvertScreenshots(form, folder, seam, out) && ok;
    folder.removeRecursively();
    return ok ? 0 : 1;
}
