#pragma once

// The whole program as a test drives it: the main window offscreen, the virtual controller on a
// pseudo-terminal opened through QSerialPort, and the desktop seam scripted. The program's folder
// is a fresh temporary folder holding the sample pictures.

#include "AppState.h"
#include "PortCatalog.h"
#include "ProgramWindow.h"
#include "PtyServer.h"
#include "QtWarnings.h"
#include "SamplePictures.h"
#include "ScriptedUiSeam.h"
#include "TestKit.h"
#include "VirtualController.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Picks an entry as the operator does: the box shows it and the screen hears of the choice.
inline void Activate(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

// One column of a list or table, top to bottom, as text.
inline QStringList ColumnTexts(const QAbstractItemModel* model, int column = 0,
                               int role = Qt::DisplayRole)
{
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data(role).toString();
    return texts;
}

struct AppFixture
{
    QTemporaryDir folder;
    VirtualController controller;
    PtyServer server{controller};
    AppState state;
    PortCatalog catalog;
    ScriptedUiSeam seam;
    std::unique_ptr<ProgramWindow> form;

    // False (with the reason logged) when the pseudo-terminal or the window could not start.
    bool start()
    {
        FailOnQtWarnings();
        QStandardPaths::setTestModeEnabled(true);
        if (!folder.isValid() || !SeedSamplePictures(folder.path()) || !server.start()) {
            qWarning("fixture: %s", qPrintable(server.errorString()));
            return false;
        }
        catalog.addDevice(server.devicePath(), QStringLiteral("virtual controller"));
        form = MakeProgramWindow(state, catalog, seam, folder.path());
        return form->start();
    }
    // A program started afresh for one test; null (the reason logged) when it could not start.
    static std::unique_ptr<AppFixture> started()
    {
        auto app = std::make_unique<AppFixture>();
        return app->start() ? std::move(app) : nullptr;
    }

    // What the test left amiss is checked while the main window still stands, so a dialog left
    // open over it is seen.
    ~AppFixture()
    {
        seam.verifyNothingLeft(form.get());
        form.reset();
    }

    QString samplePath(const QString& name) const
    {
        return folder.path() + QLatin1Char('/') + name;
    }

    template <typename T> T* find(const QString& name) const { return Child<T>(form.get(), name); }
    // The controller set up for one switch type, and the program told so: no type question.
    void setUpController(int type)
    {
        controller.setIdentity({char('0' + type), "GLINTSIM", 'V', "1.00"});
        state.ControllerSetting = qint16(type);
    }
    // Imports the folder's pictures of the type on the (open) batch picture screen.
    void importBatch(int type, const QString& fileInFolder)
    {
        auto* batch = find<QWidget>(QStringLiteral("frmBatchPicture"));
        Activate(Child<QComboBox>(batch, QStringLiteral("cmbSwitchType")), type - 1);
        seam.openPaths.push_back(fileInFolder);
        Child<QPushButton>(batch, QStringLiteral("cmdImportBatch"))->click();
    }
    void open(const QString& menuEntry) const { find<QAction>(menuEntry)->trigger(); }
    void click(const QString& button) const
    {
        QTest::mouseClick(find<QWidget>(button), Qt::LeftButton);
    }
    // Imports a picture on the single picture screen through the file dialog and selects it, as
    // its "Import bmp" entry does.
    void choosePicture(const QString& path)
    {
        seam.openPaths.push_back(path);
        Activate(find<QComboBox>(QStringLiteral("cmbFileName")), 0);
    }
};
