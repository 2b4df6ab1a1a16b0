#include "AppFixture.h"
#include "AttributeEditors.h"
#include "LcdAttributeEditor.h"
#include "OledAttributeEditor.h"
#include "frmAbout.h"
#include "frmCharacter.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>

#include <map>

// Every screen and dialog opened as the operator opens it, on the desktop CTest gives (1366 x 768
// at 100 % and 200 %, 1920 x 1080 at 100 %): no visible caption is cut, the main window holds the
// screen where the desktop has room, and what it cannot hold scrolls.
class TestScreenFit : public QObject
{
    Q_OBJECT

    // Visible labels, buttons and combo boxes of `screen` narrower than their text needs.
    static QStringList clipped(const QWidget* screen)
    {
        QStringList names;
        for (const QWidget* w : screen->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<const QLabel*>(w);
            const bool checked = (label && !label->wordWrap()) ||
                                 qobject_cast<const QAbstractButton*>(w) ||
                                 qobject_cast<const QComboBox*>(w);
            if (checked && w->isVisibleTo(screen) && w->width() < w->sizeHint().width()) {
                names.append(QStringLiteral("%1 \"%2\" %3 < %4")
                                 .arg(w->metaObject()->className(), w->objectName())
                                 .arg(w->width())
                                 .arg(w->sizeHint().width()));
            }
        }
        return names;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The desktop comes from the description file CTest names, never the platform default.
        const QRect desk = QGuiApplication::primaryScreen()->geometry();
        const QSize pixels(qRound(desk.width() * qApp->devicePixelRatio()),
                           qRound(desk.height() * qApp->devicePixelRatio()));
        QVERIFY2(pixels == QSize(1366, 768) || pixels == QSize(1920, 1080),
                 qPrintable(QStringLiteral("%1x%2").arg(pixels.width()).arg(pixels.height())));
    }

    void everyScreenFits_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("screen");
        QTest::newRow("single picture") << "mnuSinglePicture"
                                        << "frmSinglePicture";
        QTest::newRow("batch pictures") << "mnuBatchPictures"
                                        << "frmBatchPicture";
        QTest::newRow("switch data") << "mnuSwitchData"
                                     << "frmSwitchDataFile";
        QTest::newRow("controller view") << "mnuControllerView"
                                         << "frmControllerView";
    }
    void everyScreenFits()
    {
        QFETCH(QString, menu);
        QFETCH(QString, screen);
        AppFixture app;
        QVERIFY(app.start());
        app.find<QAction>(menu)->trigger();
        auto* shown = app.find<QWidget>(screen);
        QVERIFY(QTest::qWaitForWindowExposed(app.form.get()));

        const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(workArea.contains(app.form->geometry()));
        const QStringList cut = clipped(shown) + clipped(app.form->statusBar());
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
        // The screen is whole in its window. The main window grows to hold it up to nine tenths
        // of the work area; the screen area scrolls only along a side that reached that bound.
        auto* window = qobject_cast<QMdiSubWindow*>(shown->parentWidget());
        QVERIFY(window->size().expandedTo(window->minimumSizeHint()) == window->size());
        auto* area = app.find<QMdiArea>(QStringLiteral("mdiArea"));
        QCoreApplication::processEvents(); // the area lays out its scroll bars once it has settled
        const QSize viewport = area->viewport()->size();
        const QSize form = app.form->size();
        if (window->width() > viewport.width())
            QVERIFY(area->horizontalScrollBar()->maximum() > 0);
        if (window->height() > viewport.height())
            QVERIFY(area->verticalScrollBar()->maximum() > 0);
        if (form.width() < workArea.width() * 9 / 10)
            QCOMPARE(area->horizontalScrollBar()->maximum(), 0);
        if (form.height() < workArea.height() * 9 / 10)
            QCOMPARE(area->verticalScrollBar()->maximum(), 0);
    }

    // The batch attribute window over an LCD batch with all sixteen switches shown (its widest
    // table), and the row editor lying over the first row, each box as wide as its column.
    void batchAttributesFit()
    {
        AppFixture app;
        QVERIFY(app.start());
        QTemporaryDir batch;
        QVERIFY(QFile::copy(app.samplePath(QStringLiteral("LCD 64x32 Speaker.bmp")),
                            batch.filePath(QStringLiteral("a.bmp"))));
        app.find<QAction>(QStringLiteral("mnuBatchPictures"))->trigger();
        auto* types = app.find<QComboBox>(QStringLiteral("cmbSwitchType"));
        types->setCurrentIndex(1);
        Q_EMIT types->activated(1);
        app.seam.openPaths.push_back(batch.filePath(QStringLiteral("a.bmp")));
        app.click(QStringLiteral("cmdImportBatch"));
        app.find<QWidget>(QStringLiteral("frmBatchPicture"))
            ->findChild<QPushButton*>(QStringLiteral("cmdEditAttributes"))
            ->click();
        auto* shown = app.find<QWidget>(QStringLiteral("frmBatchAttributes"));
        auto* switches = app.find<QComboBox>(QStringLiteral("cmbNumbofSwchs"));
        switches->setCurrentIndex(2);
        Q_EMIT switches->activated(2);
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(shown->size().boundedTo(workArea.size()), shown->size());
        const QStringList cut = clipped(shown);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));

        auto* table = shown->findChild<QTreeView*>(QStringLiteral("LsvManyFiles"));
        QStringList misplaced;
        QTimer poll;
        poll.setInterval(0);
        connect(&poll, &QTimer::timeout, shown, [&] {
            QWidget* editor = QApplication::activeModalWidget();
            if (!editor || editor->objectName() != QLatin1String("frmSelectRow"))
                return;
            poll.stop();
            for (int column = 0; column < table->model()->columnCount(); ++column) {
                auto* box = editor->findChild<QWidget*>(QStringLiteral("txtEd_%1").arg(column));
                if (box->width() != table->columnWidth(column) ||
                    !editor->rect().contains(box->geometry()))
                    misplaced << box->objectName();
            }
            // A table wider than the desktop (200 %, sixteen switches) gives an editor as wide.
            if (editor->width() <= workArea.width() && !workArea.contains(editor->geometry()))
                misplaced << QStringLiteral("editor off the desktop");
            QTest::keyClick(editor->findChild<QWidget*>(QStringLiteral("txtEd_2")), Qt::Key_Escape);
        });
        poll.start();
        app.find<QPushButton>(QStringLiteral("cmdEdit"))->click();
        QVERIFY2(misplaced.isEmpty(), qPrintable(misplaced.join(QStringLiteral(", "))));
        shown->close();
    }

    void convertDialogsFit_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("picture") << "mnuConvertPicture"
                                 << "frmConvertPicture";
        QTest::newRow("folder") << "mnuConvertFolder"
                                << "frmConvertFolder";
    }
    void convertDialogsFit()
    {
        QFETCH(QString, menu);
        QFETCH(QString, dialog);
        AppFixture app;
        QVERIFY(app.start());
        app.seam.openPaths.push_back(app.samplePath(QStringLiteral("Koala.bmp")));
        app.seam.folderPaths.push_back(app.folder.path());
        app.find<QAction>(menu)->trigger();
        if (dialog == QLatin1String("frmConvertFolder"))
            app.seam.openPaths.clear();
        else
            app.seam.folderPaths.clear();
        auto* shown = app.find<QWidget>(dialog);
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        const QSize workArea = QGuiApplication::primaryScreen()->availableGeometry().size();
        QCOMPARE(shown->frameGeometry().size().boundedTo(workArea), shown->frameGeometry().size());
        const QStringList cut = clipped(shown);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
        shown->close();
    }

    void everyDialogFits_data()
    {
        QTest::addColumn<QString>("dialog");
        for (const char* name : {"LCD 36x24 attributes", "LCD 64x32 attributes", "OLED attributes",
                                 "MONO 96x64 attributes", "character picker", "about"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void everyDialogFits()
    {
        QFETCH(QString, dialog);
        FailOnQtWarnings();
        AppState state;
        ScriptedUiSeam seam;
        QWidget owner;
        AttributeEditors editors(state, seam, &owner);
        frmAbout about(seam, &owner);
        const std::map<QString, QDialog*> dialogs{{"LCD 36x24 attributes", &editors.lcd36x24()},
                                                  {"LCD 64x32 attributes", &editors.lcd64x32()},
                                                  {"OLED attributes", &editors.oled()},
                                                  {"MONO 96x64 attributes", &editors.mono96x64()},
                                                  {"character picker", &editors.character()},
                                                  {"about", &about}};
        QDialog* shown = dialogs.at(dialog);
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        const QSize workArea = QGuiApplication::primaryScreen()->availableGeometry().size();
        QCOMPARE(shown->size().boundedTo(workArea), shown->size());
        const QStringList cut = clipped(shown);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
        shown->close();
    }
};

QTEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
