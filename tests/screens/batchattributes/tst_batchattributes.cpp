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

namespace {
// A sample picture of the length each batch type takes.
const char* const Samples[] = {"",          "LCD 36x24 Power.bmp", "LCD 64x32 Speaker.bmp",
                               "Koala.bmp", "Koala.bmp",           "MONO 96x64 Bell.bmp"};
const QStringList Pictures{"p1.bmp", "p2.bmp", "p3.bmp"};
using EditorStep = std::function<void(QDialog*)>;
} // namespace

// The batch attribute window driven as the operator drives it, opened from the batch picture
// screen against the virtual controller on a pseudo-terminal: what reaches the controller and
// the saved file is read back from them.
class TestBatchAttributes : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;
    std::unique_ptr<QTemporaryDir> batch;
    QWidget* batchScreen = nullptr;
    QPointer<QWidget> window;
    std::unique_ptr<QAbstractItemModelTester> tester;
    QTimer* editorDriver = nullptr;
    QList<EditorStep> editorSteps;
    int unexpectedEditors = 0;

    template <typename T> T* w(const char* name)
    {
        T* widget = window->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no widget named %s", name);
        return widget;
    }
    QTreeView* table() { return w<QTreeView>("LsvManyFiles"); }
    AttributeTableModel* model() { return qobject_cast<AttributeTableModel*>(table()->model()); }
    QStringList cells(int row) { return model()->row(row).cells; }
    QString panel(int n) { return app->form->panelText(n); }

    void importBatch(int type)
    {
        for (const QString& name : Pictures)
            QVERIFY(
                QFile::copy(app->samplePath(QLatin1String(Samples[type])), batch->filePath(name)));
        app->controller.setIdentity({char('0' + type), "GLINTSIM", 'V', "1.00"});
        app->state.ControllerSetting = qint16(type);
        auto* combo = batchScreen->findChild<QComboBox*>(QStringLiteral("cmbSwitchType"));
        combo->setCurrentIndex(type - 1);
        Q_EMIT combo->activated(type - 1);
        app->seam.openPaths.push_back(batch->filePath(Pictures.first()));
        batchScreen->findChild<QPushButton*>(QStringLiteral("cmdImportBatch"))->click();
    }
    void openWindow()
    {
        batchScreen->findChild<QPushButton*>(QStringLiteral("cmdEditAttributes"))->click();
        window = batchScreen->findChild<QWidget*>(QStringLiteral("frmBatchAttributes"));
        QVERIFY(window && window->isVisible());
        tester = std::make_unique<QAbstractItemModelTester>(
            model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }
    void closeWindow()
    {
        w<QPushButton>("cmdClose")->click();
        QTRY_VERIFY(!window);
    }
    QPoint rowCentre(int row) { return table()->visualRect(model()->index(row, 0)).center(); }
    void clickRow(int row)
    {
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, rowCentre(row));
    }

    // Double-clicks `row` and acts on each row editor as it opens, one step per editor; an editor
    // that opens after the last step is a fault, and is closed with Esc.
    void editRow(int row, QList<EditorStep> steps)
    {
        editorSteps = std::move(steps);
        clickRow(row);
        QMouseEvent doubleClick(QEvent::MouseButtonDblClick, rowCentre(row),
                                table()->viewport()->mapToGlobal(rowCentre(row)), Qt::LeftButton,
                                Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(table()->viewport(), &doubleClick);
        QVERIFY(editorSteps.isEmpty());
        QCOMPARE(unexpectedEditors, 0);
    }
    void driveEditors()
    {
        auto handled = std::make_shared<QPointer<QWidget>>();
        editorDriver = new QTimer(this);
        editorDriver->setInterval(0);
        connect(editorDriver, &QTimer::timeout, this, [this, handled] {
            auto* editor = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!editor || editor->objectName() != QLatin1String("frmSelectRow") ||
                !editor->isVisible() || editor == *handled)
                return;
            *handled = editor;
            if (editorSteps.isEmpty()) {
                ++unexpectedEditors;
                editor->reject();
                return;
            }
            editorSteps.takeFirst()(editor);
        });
        editorDriver->start();
    }
    static QLineEdit* box(QDialog* editor, int column)
    {
        return editor->findChild<QLineEdit*>(QStringLiteral("txtEd_%1").arg(column));
    }
    static void typeInto(QDialog* editor, int column, const QString& text, int key = Qt::Key_Return)
    {
        QLineEdit* target = box(editor, column);
        target->setFocus();
        target->selectAll();
        QTest::keyClick(target, Qt::Key_Delete);
        QTest::keyClicks(target, text);
        QTest::keyClick(target, Qt::Key(key));
    }
    // Types a value into every box the operator can reach and keeps the row with Enter.
    static EditorStep fillRow(int row, QStringList* typed)
    {
        return [row, typed](QDialog* editor) {
            QLineEdit* last = nullptr;
            int position = 0;
            for (QLineEdit* target : editor->findChildren<QLineEdit*>()) {
                if (!target->isEnabled())
                    continue;
                const int value = row * 17 + position++ + 3;
                const QString text = target->maxLength() == 1
                                         ? QString::number(value % 15 + 1, 16).toUpper()
                                         : QString::number(value, 16).toUpper().rightJustified(
                                               target->maxLength(), QLatin1Char('0'));
                target->setFocus();
                target->selectAll();
                QTest::keyClicks(target, text);
                *typed << text;
                last = target;
            }
            QTest::keyClick(last, Qt::Key_Return);
        };
    }
    static EditorStep escape()
    {
        return [](QDialog* editor) { QTest::keyClick(box(editor, 2), Qt::Key_Escape); };
    }
    QStringList visibleCells(int row)
    {
        QStringList visible;
        for (int c = 0; c < cells(row).size(); ++c) {
            if (!table()->isColumnHidden(AttributeTableModel::FirstAttributeColumn + c))
                visible << cells(row).at(c);
        }
        return visible;
    }
    // The type's saved attribute file, the only one in the batch folder.
    QByteArray savedFile()
    {
        const QStringList saved = QDir(batch->path()).entryList({"SavedAttributes*.txt"});
        QFile file(batch->filePath(saved.value(0)));
        return saved.size() == 1 && file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                   : QByteArray("(none)");
    }

private Q_SLOTS:
    void init()
    {
        app = std::make_unique<AppFixture>();
        QVERIFY(app->start());
        app->form->findChild<QAction*>(QStringLiteral("mnuBatchPictures"))->trigger();
        batchScreen = app->form->findChild<QWidget*>(QStringLiteral("frmBatchPicture"));
        batch = std::make_unique<QTemporaryDir>();
        editorSteps.clear();
        unexpectedEditors = 0;
        driveEditors();
    }
    void cleanup()
    {
        delete editorDriver;
        tester.reset();
        if (window)
            window->close();
        app.reset();
    }

    // Edited, saved, opened again and downloaded: the file, the table and the controller's records
    // all hold what was typed, and the row left with Esc keeps its defaults.
    void editSaveReloadDownload_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("defaultRow"); // the third row's visible cells, never edited
        QTest::newRow("LCD 36x24") << 1 << 20 << "00,00,00,00,00,00,0,0";
        QTest::newRow("LCD 64x32") << 2 << 20 << "00,00,00,00,00,00,03,03";
        QTest::newRow("OLED 64x48") << 3 << 7 << "0000,0000,0000,00,00";
        QTest::newRow("OLED 52x36") << 4 << 7 << "0000,0000,0000,00,00";
        QTest::newRow("MONO 96x64") << 5 << 10 << "0000,0000,0000,0000,00,00,0000,0000";
    }
    void editSaveReloadDownload()
    {
        QFETCH(int, type);
        QFETCH(int, columns);
        QFETCH(QString, defaultRow);
        importBatch(type);
        openWindow();
        QCOMPARE(window->windowTitle(), QString("Batch Attributes Download"));
        QCOMPARE(model()->rowCount(), 3);
        QCOMPARE(model()->columnCount(), columns);
        QCOMPARE(w<QComboBox>("cmbNumbofSwchs")->isVisible(), type <= 2);
        QCOMPARE(w<QLabel>("lblLEDinfo")->isVisible(), type == 1);

        QStringList typed[2];
        editRow(0, {fillRow(0, &typed[0]), fillRow(1, &typed[1]), escape()});
        QCOMPARE(visibleCells(0), typed[0]);
        QCOMPARE(visibleCells(1), typed[1]);
        QCOMPARE(visibleCells(2).join(QLatin1Char(',')), defaultRow);
        w<QPushButton>("cmdSave")->click();
        const QByteArray saved = savedFile();
        QCOMPARE(saved.count("\r\n"), 3);
        QVERIFY(saved.startsWith("p1.bmp|" + model()->row(0).address.toLatin1() + "|"));
        closeWindow(); // saved: no question

        openWindow();
        QCOMPARE(visibleCells(0), typed[0]);
        QCOMPARE(visibleCells(1), typed[1]);
        w<QPushButton>("cmdDownloadAttributes")->click();
        QCOMPARE(app->seam.messageTexts().last(), QString("Download successful."));
        QCOMPARE(app->seam.messages.last().title, QString("Download Batch Attributes Message"));
        QCOMPARE(panel(4), QString("3 downloaded files"));
        for (int row = 0; row < 3; ++row) {
            const QString address = model()->row(row).address;
            const auto record = app->controller.attributeRecord(address.toUShort(nullptr, 16));
            QVERIFY(record);
            QStringList sent = visibleCells(row);
            if (type == 1)
                sent = sent.mid(0, 6); // LCD 36x24 LED codes travel with the picture
            QCOMPARE(QString::fromLatin1(record->digits), sent.join(QString()));
            QCOMPARE(model()->row(row).colour, RowColour::Magenta);
        }
        closeWindow();
        QCOMPARE(app->form->link().activeScreen(), dynamic_cast<LinkScreen*>(batchScreen));
    }

    void editorChecks_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<QString>("cell");
        QTest::newRow("2 digits: 5 becomes 05") << 2 << 2 << "5"
                                                << ""
                                                << "05";
        QTest::newRow("4 digits: 5 becomes 0005") << 3 << 2 << "5"
                                                  << ""
                                                  << "0005";
        QTest::newRow("emptied box is zeros") << 5 << 3 << ""
                                              << ""
                                              << "0000";
        QTest::newRow("lower case stored upper") << 3 << 5 << "ab"
                                                 << ""
                                                 << "AB";
        QTest::newRow("not hex") << 3 << 6 << "ZZ"
                                 << "Data must be in Hex format."
                                 << "00";
        QTest::newRow("LCD 36x24 LED digit") << 1 << 18 << "a"
                                             << ""
                                             << "A";
        QTest::newRow("LCD 36x24 LED G") << 1 << 19 << "G"
                                         << "Data must be in Hex format."
                                         << "0";
        QTest::newRow("LCD 64x32 LED 02") << 2 << 18 << "02"
                                          << "Data must between 03 and FF Hex."
                                          << "03";
        QTest::newRow("LCD 64x32 LED 03") << 2 << 19 << "3"
                                          << ""
                                          << "03";
    }
    void editorChecks()
    {
        QFETCH(int, type);
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, cell);
        importBatch(type);
        openWindow();
        bool stayedOpen = false;
        const EditorStep check = [&](QDialog* editor) {
            QCOMPARE(box(editor, column)->toolTip(),
                     QStringLiteral("Original: ") + cells(0).at(column - 2));
            typeInto(editor, column, typed);
            stayedOpen = editor->isVisible();
            if (stayedOpen)
                QTest::keyClick(box(editor, column), Qt::Key_Escape);
        };
        // An accepted Enter goes on to the next row, which is left with Esc.
        editRow(0, message.isEmpty() ? QList<EditorStep>{check, escape()} : QList{check});
        QCOMPARE(stayedOpen, !message.isEmpty());
        if (!message.isEmpty()) {
            QCOMPARE(app->seam.messageTexts(), QStringList{message});
            QCOMPARE(app->seam.messages.last().title, QString("Input Data Message"));
        }
        QCOMPARE(cells(0).at(column - 2), cell);
        if (message.isEmpty())
            app->seam.answers.push_back(MessageAnswer::No);
        closeWindow();
    }

    // "2" switches: the boxes of bytes 7-16 are neither shown nor reached with Tab; "16" shows
    // them all. Enter on the last row goes on with the first.
    void hiddenColumnsAndChaining()
    {
        importBatch(2);
        openWindow();
        bool tabbedToLed = false;
        clickRow(2);
        editRow(2, {[&](QDialog* editor) {
                        QVERIFY(!box(editor, 8)->isVisible());
                        QVERIFY(!box(editor, 17)->isEnabled());
                        box(editor, 7)->setFocus();
                        QTest::keyClick(box(editor, 7), Qt::Key_Tab);
                        tabbedToLed = editor->focusWidget() == box(editor, 18);
                        QTest::keyClick(box(editor, 18), Qt::Key_Return);
                    },
                    [](QDialog* editor) { QTest::keyClick(box(editor, 2), Qt::Key_Escape); }});
        QVERIFY(tabbedToLed);
        QCOMPARE(table()->selectionModel()->selectedRows().first().row(), 0);

        auto* count = w<QComboBox>("cmbNumbofSwchs");
        count->setCurrentIndex(2);
        Q_EMIT count->activated(2);
        QVERIFY(!table()->isColumnHidden(17));
        QCOMPARE(model()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QString("1"));
        editRow(0, {[](QDialog* editor) {
                    QVERIFY(box(editor, 17)->isVisible());
                    QTest::keyClick(box(editor, 2), Qt::Key_Escape);
                }});
        app->seam.answers = {MessageAnswer::No}; // the last row was kept with Enter
        closeWindow();
    }

    void closeQuestionAndFailedSave()
    {
        importBatch(3);
        openWindow();
        QStringList typed;
        editRow(0, {fillRow(0, &typed), escape()});
        app->seam.answers = {MessageAnswer::Cancel};
        w<QPushButton>("cmdClose")->click();
        QVERIFY(window && window->isVisible());
        QCOMPARE(app->seam.messages.last().text, QString("Do you want to save switch attributes?"));
        QCOMPARE(app->seam.messages.last().title, QString("Save Attributes?"));
        QCOMPARE(app->seam.messages.last().buttons, MessageButtons::YesNoCancel);

        // A save that cannot be written leaves the table counting as changed.
        app->state.PictureFolder = batch->filePath(QStringLiteral("gone/"));
        w<QPushButton>("cmdSave")->click();
        app->seam.answers = {MessageAnswer::No};
        closeWindow();
        QCOMPARE(savedFile(), QByteArray()); // created empty at load, never written
    }

    void selectedRowAndFailures()
    {
        importBatch(5);
        openWindow();
        clickRow(1);
        QVERIFY(!w<QLabel>("picHolder")->pixmap().isNull());
        w<QPushButton>("cmdDownloadAttribute")->click();
        QCOMPARE(app->seam.messageTexts(), QStringList{"Download successful."});
        QCOMPARE(app->seam.messages.last().title, QString("Download Selected Attribute Message"));
        QTRY_VERIFY(app->controller.attributeRecord(2));
        QVERIFY(!app->controller.attributeRecord(1));

        app->controller.setMisbehaviour(Misbehaviour::RefuseAll);
        w<QPushButton>("cmdDownloadAttributes")->click();
        QCOMPARE(app->seam.messageTexts().last(),
                 QString("Error while downloading image attributes.\r\np1.bmp attributes failed "
                         "to download to address 0001."));
        QCOMPARE(panel(2), QString("Download Canceled"));
        QCOMPARE(model()->row(0).colour, RowColour::Red);
        QCOMPARE(model()->row(1).colour, RowColour::Black);
        QVERIFY(!app->state.BusyFlag);
        closeWindow();
    }

    void cancelDuringRun()
    {
        importBatch(3);
        openWindow();
        connect(model(), &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& index) {
            if (index.row() == 1 && model()->row(1).colour == RowColour::Blue)
                QTimer::singleShot(0, w<QPushButton>("cmdCancel"), &QPushButton::click);
        });
        w<QPushButton>("cmdDownloadAttributes")->click();
        QCOMPARE(panel(2), QString("Download Canceled"));
        QVERIFY(app->seam.messages.isEmpty());
        QCOMPARE(model()->row(2).colour, RowColour::Black);
        QVERIFY(!app->controller.attributeRecord(3));
        closeWindow();
    }
};

QTEST_MAIN(TestBatchAttributes)
#include "tst_batchattributes.moc"
