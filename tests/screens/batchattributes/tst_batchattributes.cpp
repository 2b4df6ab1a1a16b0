#include "AppFixture.h"
#include "AttributeTableModel.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <optional>

namespace {
// A sample picture of the length each batch type takes.
const char* const Samples[] = {"",          "LCD 36x24 Power.bmp", "LCD 64x32 Speaker.bmp",
                               "Koala.bmp", "Koala.bmp",           "MONO 96x64 Bell.bmp"};
using EditorStep = std::function<void(QDialog*)>;

const EditorStep Escape = [](QDialog* editor) { QTest::keyClick(editor, Qt::Key_Escape); };

// The operator's way through a row editor: every reachable box in turn, reached with Tab, the
// very first emptied and the others given one lower-case digit, the row kept with Enter. A
// refused entry can be tried first in one box. `typed` gets what each box should then hold.
EditorStep fillRow(QStringList* typed, int refusedColumn = 0, QString refused = {})
{
    return [=](QDialog* editor) {
        QList<QLineEdit*> reachable = editor->findChildren<QLineEdit*>();
        reachable.removeIf([](const QLineEdit* box) { return !box->isEnabled(); });
        for (QLineEdit* target : reachable) {
            QCOMPARE(editor->focusWidget(), target);
            QCOMPARE(target->toolTip(), "Original: " + target->text());
            if (target->objectName() == QStringLiteral("txtEd_%1").arg(refusedColumn)) {
                target->selectAll();
                QTest::keyClicks(target, refused);
                QTest::keyClick(target, Qt::Key_Return); // refused: the box keeps the focus
            }
            const int n = int(typed->size());
            const QString entry = n == 0 ? QString() : QString::number(n * 7 % 13 + 3, 16);
            target->selectAll();
            QTest::keyClick(target, Qt::Key_Delete);
            QTest::keyClicks(target, entry);
            *typed << entry.toUpper().rightJustified(target->maxLength(), '0');
            QTest::keyClick(target, target == reachable.last() ? Qt::Key_Return : Qt::Key_Tab);
        }
    };
}
// Types `digit` over the focused box's text, then presses `key`.
EditorStep typeThen(const QString& digit, Qt::Key key)
{
    return [=](QDialog* editor) {
        auto* box = qobject_cast<QLineEdit*>(editor->focusWidget());
        QVERIFY(box);
        box->selectAll();
        QTest::keyClicks(box, digit);
        QTest::keyClick(box, key);
    };
}
} // namespace

// The batch attribute window driven as the operator drives it, opened from the batch picture
// screen against the virtual controller on a pseudo-terminal: what reaches the controller and
// the saved file is read back from them.
class TestBatchAttributes : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;
    std::optional<QTemporaryDir> batch;
    QWidget* batchScreen = nullptr;
    QPointer<QWidget> window;
    QTimer editorDriver;
    QPointer<QWidget> handledEditor;
    QList<EditorStep> editorSteps;

    template <typename T> T* w(const char* name) { return Child<T>(window, name); }
    void click(const char* button) { w<QPushButton>(button)->click(); }
    QTreeView* table() { return w<QTreeView>("LsvManyFiles"); }
    AttributeTableModel* model() { return qobject_cast<AttributeTableModel*>(table()->model()); }

    // Imports three pictures of the type as a batch and opens the window on them.
    void openBatch(int type, int switchesIndex = 0)
    {
        for (const char* name : {"p1.bmp", "p2.bmp", "p3.bmp"})
            QVERIFY(QFile::copy(app->samplePath(QLatin1String(Samples[type])),
                                batch->filePath(QLatin1String(name))));
        app->setUpController(type);
        app->importBatch(type, batch->filePath(QStringLiteral("p1.bmp")));
        openWindow(switchesIndex);
    }
    void openWindow(int switchesIndex = 0)
    {
        batchScreen->findChild<QPushButton*>(QStringLiteral("cmdEditAttributes"))->click();
        window = batchScreen->findChild<QWidget*>(QStringLiteral("frmBatchAttributes"));
        QVERIFY(window && window->isVisible());
        // Every change the window makes to its table is checked against the model contract.
        new QAbstractItemModelTester(
            model(), QAbstractItemModelTester::FailureReportingMode::QtTest, window);
        Activate(w<QComboBox>("cmbNumbofSwchs"), switchesIndex);
    }
    void closeWindow()
    {
        click("cmdClose");
        QTRY_VERIFY(!window);
    }
    QPoint rowCentre(int row) { return table()->visualRect(model()->index(row, 0)).center(); }
    void clickRow(int row)
    {
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, rowCentre(row));
    }

    // Double-clicks `row` and acts on each row editor as it opens, one step per editor; an editor
    // that opens after the last step is a fault.
    void editRow(int row, QList<EditorStep> steps)
    {
        editorSteps = std::move(steps);
        clickRow(row);
        QMouseEvent doubleClick(QEvent::MouseButtonDblClick, rowCentre(row),
                                table()->viewport()->mapToGlobal(rowCentre(row)), Qt::LeftButton,
                                Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(table()->viewport(), &doubleClick);
        QVERIFY(editorSteps.isEmpty());
    }
    void driveEditor()
    {
        auto* editor = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!editor || editor->objectName() != QLatin1String("frmSelectRow") ||
            !editor->isVisible() || editor == handledEditor)
            return;
        handledEditor = editor;
        if (editorSteps.isEmpty())
            QTest::qFail("a row editor opened after the last step", __FILE__, __LINE__);
        else
            editorSteps.takeFirst()(editor);
        if (editor->isVisible()) // not expected, or left open by a failed step: no waiting on it
            editor->reject();
    }
    QStringList visibleCells(int row)
    {
        QStringList visible;
        const QStringList cells = model()->row(row).cells;
        for (int c = 0; c < cells.size(); ++c) {
            if (!table()->isColumnHidden(AttributeTableModel::FirstAttributeColumn + c))
                visible << cells.at(c);
        }
        return visible;
    }
    // The type's saved attribute file in the batch folder.
    QByteArray savedFile()
    {
        const QFileInfoList saved = QDir(batch->path()).entryInfoList({"SavedAttributes*.txt"});
        return saved.isEmpty() ? "(none)" : ReadFile(saved.first().filePath());
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(app = AppFixture::started());
        app->open("mnuBatchPictures");
        batchScreen = app->find<QWidget>(QStringLiteral("frmBatchPicture"));
        batch.emplace();
        editorSteps.clear();
        connect(&editorDriver, &QTimer::timeout, this, &TestBatchAttributes::driveEditor,
                Qt::UniqueConnection);
        editorDriver.start(0);
    }
    void cleanup()
    {
        editorDriver.stop();
        app.reset();
    }

    // Edited, saved, opened again and downloaded: the file, the table and the controller's records
    // all hold what was typed, with a refused entry on the way, and the row left with Esc keeps its
    // defaults. Enter on the last row goes on with the first. A save that cannot be written leaves
    // the table unsaved, so closing asks first.
    void editSaveReloadDownload_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("switches");        // the index chosen in the LCD switch count
        QTest::addColumn<QString>("defaultRow");  // the first row's visible cells, never edited
        QTest::addColumn<QStringList>("refusal"); // the box, what is typed there, the message
        const QString zeros = QStringList(16, QStringLiteral("00")).join(',');
        const QString notHex = QStringLiteral("Data must be in Hex format.");
        QTest::newRow("LCD 36x24, 16 switches")
            << 1 << 2 << zeros + ",0,0" << QStringList{"19", "G", notHex};
        QTest::newRow("LCD 64x32, 2 switches")
            << 2 << 0 << zeros.left(17) + ",03,03"
            << QStringList{"18", "02", "Data must between 03 and FF Hex."};
        QTest::newRow("OLED 64x48")
            << 3 << 0 << "0000,0000,0000,00,00" << QStringList{"6", "Zz", notHex};
        QTest::newRow("MONO 96x64")
            << 5 << 0 << "0000,0000,0000,0000,00,00,0000,0000" << QStringList{"9", "Zz", notHex};
    }
    void editSaveReloadDownload()
    {
        QFETCH(int, type);
        QFETCH(int, switches);
        QFETCH(QStringList, refusal);
        openBatch(type, switches);
        QCOMPARE(window->windowTitle(), QString("Batch Attributes Download"));
        QCOMPARE(w<QLabel>("lblLEDinfo")->isVisible(), type == 1);

        QStringList typed; // the second row's cells, then the third's
        editRow(1,
                {fillRow(&typed, refusal.at(0).toInt(), refusal.at(1)), fillRow(&typed), Escape});
        QCOMPARE(table()->selectionModel()->selectedRows().first().row(), 0);
        QTEST(visibleCells(0).join(','), "defaultRow");
        QCOMPARE(visibleCells(1) + visibleCells(2), typed);

        const QString pictureFolder = app->state.PictureFolder;
        app->state.PictureFolder = batch->filePath(QStringLiteral("gone/"));
        click("cmdSave");
        QCOMPARE(savedFile(), QByteArray()); // created empty at load, never written
        app->seam.answers = {MessageAnswer::Cancel};
        click("cmdClose");
        QVERIFY(window && window->isVisible());
        QCOMPARE(app->seam.messages.last().buttons, MessageButtons::YesNoCancel);
        app->state.PictureFolder = pictureFolder;
        click("cmdSave");
        const QByteArray saved = savedFile();
        QCOMPARE(saved.count("\r\n"), 3);
        QVERIFY(saved.startsWith("p1.bmp|" + model()->row(0).address.toLatin1() + "|"));
        closeWindow(); // saved: no question

        openWindow(switches);
        QCOMPARE(visibleCells(1) + visibleCells(2), typed);
        clickRow(1);
        QVERIFY(!w<QLabel>("picHolder")->pixmap().isNull());
        click("cmdDownloadAttribute");
        QTRY_VERIFY(app->controller.attributeRecord(2));
        QVERIFY(!app->controller.attributeRecord(1));

        click("cmdDownloadAttributes");
        QCOMPARE(app->form->panelText(4), QString("3 downloaded files"));
        for (int row = 0; row < 3; ++row) {
            const auto record =
                app->controller.attributeRecord(model()->row(row).address.toUShort(nullptr, 16));
            QVERIFY(record);
            // LCD 36x24 LED codes travel with the picture, not the attributes.
            const QStringList sent = visibleCells(row).mid(0, type == 1 ? 16 : -1);
            QCOMPARE(QString::fromLatin1(record->digits), sent.join(QString()));
            QCOMPARE(model()->row(row).colour, RowColour::Magenta);
        }
        QCOMPARE(app->seam.takeShown(),
                 QStringList({"Input Data Message: " + refusal.last(),
                              "Save Attributes?: Do you want to save switch attributes?",
                              "Download Selected Attribute Message: Download successful.",
                              "Download Batch Attributes Message: Download successful."}));
        closeWindow();
        QCOMPARE(app->form->link().activeScreen(), dynamic_cast<LinkScreen*>(batchScreen));
    }

    // With 2 switches only 6 of the 16 LCD cells show; the hidden ones come from the saved file
    // and go back into it untouched by an edit. A digit typed and left with Esc changes nothing.
    void editKeepsHiddenCellsAndEscKeepsTheRow()
    {
        const QByteArray hidden = "0102030405060708090A0B0C0D0E0F10|7|1\r\n";
        QVERIFY(WriteFile(batch->filePath("SavedAttributes36X24.txt"), "p2.bmp|02|" + hidden));
        openBatch(1, 0);
        const QByteArray line = "p2.bmp|" + model()->row(1).address.toLatin1() + "|";
        const QStringList cells = model()->row(1).cells;
        editRow(1, {typeThen("9", Qt::Key_Escape)});
        QCOMPARE(model()->row(1).cells, cells);
        click("cmdSave");
        QVERIFY(savedFile().contains(line + hidden));
        editRow(1, {typeThen("9", Qt::Key_Return), Escape});
        click("cmdSave");
        QVERIFY2(savedFile().contains(line + "09" + hidden.mid(2)), savedFile().constData());
        closeWindow();
    }

    // Cancel while the second row is sent, then a controller refusing every row.
    void cancelledAndRefusedRuns()
    {
        openBatch(3);
        connect(model(), &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& index) {
            if (index.row() == 1 && model()->row(1).colour == RowColour::Blue)
                QTimer::singleShot(0, w<QPushButton>("cmdCancel"), &QPushButton::click);
        });
        click("cmdDownloadAttributes");
        QCOMPARE(app->form->panelText(2), QString("Download Canceled"));
        QVERIFY(app->seam.messages.isEmpty());
        QVERIFY(!app->controller.attributeRecord(3));

        app->controller.setMisbehaviour(Misbehaviour::RefuseAll);
        click("cmdDownloadAttributes");
        QCOMPARE(app->seam.takeShown().size(), 1); // its text is the run's, checked with the run
        QCOMPARE(app->form->panelText(2), QString("Download Canceled"));
        QCOMPARE(model()->row(0).colour, RowColour::Red);
        QCOMPARE(model()->row(1).colour, RowColour::Black);
        QVERIFY(!app->state.BusyFlag);
        closeWindow();
    }
};

QTEST_MAIN(TestBatchAttributes)
#include "tst_batchattributes.moc"
