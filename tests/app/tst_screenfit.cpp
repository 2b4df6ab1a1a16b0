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
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>

#include <initializer_list>

// Every screen and dialog opened as the operator opens it, on the desktop CTest gives (1366 x 768
// at 100 % and 200 %, 1920 x 1080 at 100 %): no visible caption is cut, the main window holds the
// screen where the desktop has room, and what it cannot hold scrolls.
class TestScreenFit : public QObject
{
    Q_OBJECT

    // Fails the test with the visible labels, buttons and combo boxes of `screen` narrower than
    // their text needs.
    static void verifyNothingClipped(const QWidget* screen)
    {
        QStringList names;
        for (const QWidget* w : screen->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<const QLabel*>(w);
            const bool checked = (label && !label->wordWrap()) ||
                                 qobject_cast<const QAbstractButton*>(w) ||
                                 qobject_cast<const QComboBox*>(w);
            if (checked && w->isVisibleTo(screen) && w->width() < w->sizeHint().width())
                names << QStringLiteral("%1 \"%2\" %3 < %4")
                             .arg(w->metaObject()->className(), w->objectName())
                             .arg(w->width())
                             .arg(w->sizeHint().width());
        }
        QVERIFY2(names.isEmpty(), qPrintable(names.join(QStringLiteral(", "))));
    }
    static QRect workArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    // A window on its own (a dialog, the batch attribute window): shown within the work area,
    // nothing clipped.
    static void verifyFits(QWidget* shown)
    {
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        const QSize size = shown->frameGeometry().size();
        QVERIFY2(size.boundedTo(workArea().size()) == size, qPrintable(shown->objectName()));
        verifyNothingClipped(shown);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The desktop comes from the description file CTest names, never the platform default.
        const QSize pixels =
            QGuiApplication::primaryScreen()->geometry().size() * qApp->devicePixelRatio();
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
        const auto app = AppFixture::started();
        QVERIFY(app);
        app->open(menu);
        auto* shown = app->find<QWidget>(screen);
        QVERIFY(QTest::qWaitForWindowExposed(app->form.get()));
        QVERIFY(workArea().contains(app->form->geometry()));
        verifyNothingClipped(shown);
        verifyNothingClipped(app->form->statusBar());
        // The screen is whole in its window. The main window grows to hold it up to nine tenths
        // of the work area; the screen area scrolls only along a side that reached that bound.
        auto* window = qobject_cast<QMdiSubWindow*>(shown->parentWidget());
        QCOMPARE(window->size().expandedTo(window->minimumSizeHint()), window->size());
        auto* area = app->find<QMdiArea>(QStringLiteral("mdiArea"));
        QCoreApplication::processEvents(); // the area lays out its scroll bars once it has settled
        const QSize viewport = area->viewport()->size(), form = app->form->size();
        const int across = area->horizontalScrollBar()->maximum();
        const int down = area->verticalScrollBar()->maximum();
        QVERIFY(window->width() <= viewport.width() || across > 0);
        QVERIFY(window->height() <= viewport.height() || down > 0);
        QVERIFY(form.width() >= workArea().width() * 9 / 10 || across == 0);
        QVERIFY(form.height() >= workArea().height() * 9 / 10 || down == 0);
    }

    // The batch attribute window over an LCD batch with all sixteen switches shown (its widest
    // table), and the row editor lying over the first row, each box as wide as its column.
    void batchAttributesFit()
    {
        const auto app = AppFixture::started();
        QVERIFY(app);
        QTemporaryDir batch;
        QVERIFY(QFile::copy(app->samplePath(QStringLiteral("LCD 64x32 Speaker.bmp")),
                            batch.filePath(QStringLiteral("a.bmp"))));
        app->open(QStringLiteral("mnuBatchPictures"));
        app->importBatch(SwitchTypeCode::Lcd64x32, batch.filePath(QStringLiteral("a.bmp")));
        Child<QAbstractButton>(app->find<QWidget>(QStringLiteral("frmBatchPicture")),
                               QStringLiteral("cmdEditAttributes"))
            ->click();
        auto* shown = app->find<QWidget>(QStringLiteral("frmBatchAttributes"));
        Activate(app->find<QComboBox>(QStringLiteral("cmbNumbofSwchs")), 2);
        verifyFits(shown);

        auto* table = Child<QTreeView>(shown, QStringLiteral("LsvManyFiles"));
        QStringList misplaced;
        QTimer poll;
        connect(&poll, &QTimer::timeout, shown, [&] {
            QWidget* editor = QApplication::activeModalWidget();
            if (!editor || editor->objectName() != QLatin1String("frmSelectRow"))
                return;
            poll.stop();
            for (int column = 0; column < table->model()->columnCount(); ++column) {
                auto* box = Child<QWidget>(editor, QStringLiteral("txtEd_%1").arg(column));
                if (box->width() != table->columnWidth(column) ||
                    !editor->rect().contains(box->geometry()))
                    misplaced << box->objectName();
            }
            // A table wider than the desktop (200 %, sixteen switches) gives an editor as wide.
            if (editor->width() <= workArea().width() && !workArea().contains(editor->geometry()))
                misplaced << QStringLiteral("editor off the desktop");
            QTest::keyClick(Child<QWidget>(editor, QStringLiteral("txtEd_2")), Qt::Key_Escape);
        });
        poll.start(0);
        app->click(QStringLiteral("cmdEdit"));
        QVERIFY2(misplaced.isEmpty(), qPrintable(misplaced.join(QStringLiteral(", "))));
        shown->close();
    }

    void convertDialogsFit()
    {
        for (const QString menu : {"mnuConvertPicture", "mnuConvertFolder"}) {
            const auto app = AppFixture::started();
            QVERIFY(app);
            const bool folder = menu.endsWith(QLatin1String("Folder"));
            (folder ? app->seam.folderPaths : app->seam.openPaths)
                .push_back(folder ? app->folder.path() : app->samplePath("Koala.bmp"));
            app->open(menu);
            auto* shown = app->find<QWidget>(folder ? "frmConvertFolder" : "frmConvertPicture");
            verifyFits(shown);
            shown->close();
        }
    }

    void everyDialogFits()
    {
        FailOnQtWarnings();
        AppState state;
        ScriptedUiSeam seam;
        QWidget owner;
        AttributeEditors editors(state, seam, &owner);
        frmAbout about(seam, &owner);
        for (QDialog* shown : std::initializer_list<QDialog*>{
                 &editors.lcd36x24(), &editors.lcd64x32(), &editors.oled(), &editors.mono96x64(),
                 &editors.character(), &about}) {
            shown->show();
            verifyFits(shown);
            shown->close();
        }
    }
};

QTEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
