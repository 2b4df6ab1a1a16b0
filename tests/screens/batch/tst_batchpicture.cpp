#include "AppFixture.h"
#include "BatchFileModel.h"
#include "BatchReport.h"
#include "Encoders.h"
#include "SwitchPreview.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeView>

// The batch picture screen driven as the operator drives it, against the virtual controller on a
// pseudo-terminal; what reaches the controller is read back from it.
class TestBatchPicture : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;
    std::unique_ptr<QAbstractItemModelTester> tester;
    QWidget* screen = nullptr;
    std::unique_ptr<QTemporaryDir> batch;
    // (row, colour) of every single-row colour change, in order.
    QList<std::pair<int, RowColour>> colours;
    // Pressed as soon as this row turns blue (starts to be sent).
    QPushButton* pressWhenSending = nullptr;
    int pressRow = -1;

    // Looked up on this screen: the single picture screen has widgets of the same names.
    template <typename T = QPushButton> T* w(const char* name) { return Child<T>(screen, name); }
    void click(const char* name) { w(name)->click(); }
    BatchFileModel* files()
    {
        return qobject_cast<BatchFileModel*>(w<QTreeView>("LsvManyFiles")->model());
    }
    QString panel(int n) { return app->form->panelText(n); }
    QString box(const char* name) { return w<QLineEdit>(name)->text(); }
    // Every message box since the last look, as "title: text".
    QStringList shown() { return app->seam.takeShown(); }
    bool refreshIsRed() { return w("cmdRefresh")->palette().color(QPalette::Button) == Qt::red; }

    // Imports the batch folder's pictures of the type.
    void importType(int type)
    {
        app->importBatch(type, batch->filePath(QStringLiteral("any.bmp")));
    }
    // Two-digit addresses from `first` on, `step` apart.
    static QStringList addresses(int first, int count, int step = 1)
    {
        QStringList texts;
        for (int i = 0; i < count; ++i)
            texts << QStringLiteral("%1").arg(first + i * step, 2, 16, QLatin1Char('0')).toUpper();
        return texts;
    }
    void writeFile(const QString& name, const QByteArray& bytes)
    {
        QVERIFY(WriteFile(batch->filePath(name), bytes));
    }
    // LCD 36x24 pictures p0.bmp, p1.bmp, ..., blank but of the type's length.
    void writeBlankPictures(int count)
    {
        for (int i = 0; i < count; ++i)
            writeFile(QStringLiteral("p%1.bmp").arg(i), QByteArray(254, '\0'));
    }
    static QString pictureName(int i)
    {
        return QStringLiteral("f%1.bmp").arg(i, 2, 10, QLatin1Char('0'));
    }
    // Imports `count` different LCD 64x32 pictures f01.bmp, f02.bmp, ... (the sample with one
    // pixel byte changed per file) for a controller set up for that type: no question comes first.
    void importLcdPictures(int count)
    {
        const QByteArray bytes = ReadFile(app->samplePath(QStringLiteral("LCD 64x32 Speaker.bmp")));
        constexpr int PixelStart = 62;
        for (int i = 1; i <= count; ++i) {
            QByteArray picture = bytes;
            picture[PixelStart + i] = char(~picture[PixelStart + i]);
            writeFile(pictureName(i), picture);
        }
        app->setUpController(SwitchTypeCode::Lcd64x32);
        importType(SwitchTypeCode::Lcd64x32);
        QCOMPARE(files()->rowCount(), count);
    }
    // The LCD 64x32 picture the controller stores at `address` and what the encoder makes of
    // picture `i`, as hex digits.
    QString stored(quint16 address)
    {
        const auto picture = app->controller.picture(address, SwitchTypeCode::Lcd64x32);
        return picture ? QString::fromLatin1(picture->payload.toHex().toUpper()) : QString();
    }
    QString encoded(int i)
    {
        return EncodeLcd64x32(batch->filePath(pictureName(i)), {}, {}, app->state, app->seam);
    }
    // The addresses of the transfer headers the controller received, in order.
    QStringList sentAddresses()
    {
        static const QRegularExpression header(QStringLiteral("\\(([0-9A-F]{2})"));
        QStringList addresses;
        auto matches = header.globalMatch(QString::fromLatin1(app->controller.receivedBytes()));
        while (matches.hasNext())
            addresses << matches.next().captured(1);
        return addresses;
    }
    QList<RowColour> coloursOf(int row)
    {
        QList<RowColour> sequence;
        for (const auto& [changedRow, colour] : colours)
            if (changedRow == row)
                sequence << colour;
        return sequence;
    }
    void untick(int row)
    {
        QVERIFY(files()->setData(files()->index(row, 0), Qt::Unchecked, Qt::CheckStateRole));
    }
    void leave(const char* comboName, const QString& typed)
    {
        auto* combo = w<QComboBox>(comboName);
        combo->setEditText(typed);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(combo, &out);
    }
    // Starts a batch run and presses `button` as soon as `row` starts to be sent.
    void downloadPressing(QPushButton* button, int row)
    {
        pressWhenSending = button;
        pressRow = row;
        click("cmdDownloadBatch");
    }
    void typeOffset(const QString& text)
    {
        auto* box = w<QLineEdit>("txtOffsetAddress");
        box->clear();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(app = AppFixture::started());
        app->open("mnuBatchPictures");
        screen = app->find<QWidget>(QStringLiteral("frmBatchPicture"));
        QCOMPARE(app->form->link().activeScreen(), dynamic_cast<LinkScreen*>(screen));
        tester = std::make_unique<QAbstractItemModelTester>(
            files(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        batch = std::make_unique<QTemporaryDir>();
        colours.clear();
        pressRow = -1;
        connect(files(), &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex& topLeft, const QModelIndex& bottomRight,
                       const QList<int>& roles) {
                    const int row = topLeft.row();
                    if (row != bottomRight.row() || !roles.contains(Qt::ForegroundRole))
                        return;
                    colours.append({row, files()->rowColour(row)});
                    if (row == pressRow && files()->rowColour(row) == RowColour::Blue) {
                        pressRow = -1;
                        QTimer::singleShot(0, pressWhenSending, &QPushButton::click);
                    }
                });
    }
    void cleanup()
    {
        tester.reset();
        app.reset();
    }

    // Every button explains itself while no files are listed, and so does an import from a
    // folder holding none of the type's files; then the folder gets a sample of every type and
    // each type's import takes its own, sorted by character code. Then larger folders.
    void imports()
    {
        const QString none = QStringLiteral("No files have been imported.");
        const QList<std::pair<const char*, QString>> presses{
            {"cmdCheckAll", "Check All File List Message: No files to check."},
            {"cmdCheckNone", "Check None File List Message: No files to uncheck."},
            {"cmdInvert", "Invert File List Message: No files to invert check."},
            {"cmdRefresh", "Refresh File List Message: " + none},
            {"cmdOffsetAddresses", "Offset Address Message: " + none},
            {"cmdReverse", "Reversing Addresses Message: " + none},
            {"cmdSetStart", "Select Address Message: " + none},
            {"cmdDownloadBatch", "Download Picture Message: No files to download."},
            {"cmdDownloadPicture", "Download Picture Message: No files to select."},
            {"cmdPause", "Pause Download Message: " + none},
            {"cmdEditAttributes", "Edit Attributes Message: " + none}};
        QStringList expected;
        for (const auto& [button, message] : presses) {
            click(button);
            expected << message;
        }
        // Only names ending in ".bmp", in any case, of the type's length count; a folder does not.
        for (const char* name : {"B.bmp", "a.BMP", "c.bmp.txt", "cbmp"})
            writeFile(name, QByteArray(254, '\0'));
        writeFile("d.bmp", QByteArray(255, '\0'));
        QVERIFY(QDir(batch->path()).mkdir(QStringLiteral("e.bmp")));
        importType(3);
        QCOMPARE(shown(), expected << "Load File Error: There are no files for this switch type "
                                      "in selected folder.\r\nPlease select a different switch "
                                      "type or a different folder.");
        QCOMPARE(panel(2), QString("Import Canceled"));
        QVERIFY(box("txtFilePath").isEmpty());
        QVERIFY(!app->state.BusyFlag);

        QVERIFY(SeedSamplePictures(batch->path()));
        for (const auto& [type, listed, maxStart, ledOn] :
             {std::tuple{1, QStringList{"B.bmp", "LCD 36x24 Power.bmp", "a.BMP"}, "FD", "0"},
              {2, {"LCD 64x32 Speaker.bmp"}, "FF", "00"},
              {3, {"Koala.bmp", "OLED 64x48 Sunset.bmp"}, "FFFE", ""}, // both lengths
              {4, {"Koala.bmp"}, "FFFF", ""},                          // only 9272 bytes
              {5, {"MONO 96x64 Bell.bmp", "MONO 96x64 Gears.bmp"}, "FFFE", ""}}) {
            importType(type);
            QCOMPARE(ColumnTexts(files(), BatchFileModel::FileColumn), listed);
            QCOMPARE(ColumnTexts(files(), BatchFileModel::AddressColumn).first(),
                     type <= 2 ? "01" : "0001");
            QCOMPARE(box("txtFilePath"), batch->path() + QLatin1Char('/'));
            QCOMPARE(box("txtFirstFile"), listed.first());
            QCOMPARE(box("txtFileSize"),
                     QString::number(QFileInfo(batch->filePath(listed.first())).size()));
            QCOMPARE(box("txtMaxStartAddress"), maxStart);
            QCOMPARE(panel(2), QString("Import Successful"));
            QCOMPARE(panel(3), QStringLiteral("%1 imported files").arg(listed.size()));
            QCOMPARE(app->state.BatchRecords.at(1).LEDon, ledOn);
        }
        QCOMPARE(shown(), QStringList());
        QVERIFY(w("cmdCancelImport")->isHidden());
        QVERIFY(!w<QLabel>("picHolder")->pixmap().isNull()); // the first MONO sample

        // Beside the file, what the switch will show of it: it follows the row clicked, "L to R",
        // and a file changed on disk once the list is refreshed.
        importType(3); // Koala.bmp, OLED 64x48 Sunset.bmp
        auto* preview = w<SwitchPreview>("picSwitchPreview");
        auto* view = w<QTreeView>("LsvManyFiles");
        const auto clickRow = [&](int row) {
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              view->visualRect(files()->index(row, 1)).center());
        };
        clickRow(1);
        const QImage sunset = preview->picture();
        QCOMPARE(sunset.size(), QSize(64, 48));
        w<QCheckBox>("chkLtoR")->click();
        QCOMPARE(preview->picture(), sunset.mirrored(true, false));
        w<QCheckBox>("chkLtoR")->click();
        clickRow(0);
        QVERIFY(preview->picture() != sunset);
        QVERIFY(QFile::remove(batch->filePath("Koala.bmp")));
        QVERIFY(
            QFile::copy(batch->filePath("OLED 64x48 Sunset.bmp"), batch->filePath("Koala.bmp")));
        click("cmdRefresh");
        QCOMPARE(preview->picture(), sunset);

        // From 100 files on an import ends with a message; above 100 the list takes ticks into
        // the batch only when the operator refreshes it. A long import can be cancelled.
        batch = std::make_unique<QTemporaryDir>();
        for (int count : {99, 100, 101}) {
            const bool atOnce = count <= 100;
            writeBlankPictures(count);
            importType(1);
            QCOMPARE(files()->rowCount(), count);
            QCOMPARE(shown(), count == 99 ? QStringList()
                                          : QStringList("Import Batch Message: Import Successful"));
            untick(5);
            QCOMPARE(app->state.CheckedFlags.at(6), !atOnce);
            QCOMPARE(refreshIsRed(), !atOnce);
            if (atOnce) {
                click("cmdCheckAll");
                QVERIFY(app->state.CheckedFlags.at(6));
            }
        }
        click("cmdDownloadBatch");
        QCOMPARE(shown(), QStringList("Download Picture Message: Press refresh button first."));
        click("cmdRefresh");
        QVERIFY(!refreshIsRed());
        QCOMPARE(panel(2), QString("Refresh Complete"));
        QVERIFY(!app->state.CheckedFlags.at(6));

        // Enough files that collecting them outlasts several turns of the window; Cancel Import
        // is pressed once the first are counted, and what was found stays.
        writeBlankPictures(5000);
        int collected = 0;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [this, &watch, &collected] {
            static const QRegularExpression counted(QStringLiteral("^([1-9]\\d*) imported files$"));
            if (const auto match = counted.match(panel(3)); match.hasMatch()) {
                watch.stop();
                collected = match.captured(1).toInt();
                click("cmdCancelImport");
            }
        });
        watch.start(0);
        importType(1);
        QCOMPARE(panel(2), QString("Import Canceled"));
        QVERIFY(collected > 0 && collected < 5000);
        QCOMPARE(files()->rowCount(), collected);
        QCOMPARE(box("txtFirstFile"), app->state.BatchFileNames.at(1));
        QVERIFY(!app->state.BusyFlag);
        // Inverting thousands of ticks is one change notice, not one per row.
        QSignalSpy changed(files(), &QAbstractItemModel::dataChanged);
        click("cmdInvert");
        QCOMPARE(changed.size(), 1);
        QCOMPARE(shown(), QStringList("Import Batch Message: Import Canceled"));
        QCOMPARE(sentAddresses(), QStringList());
    }

    // The operator places the block of addresses, ticks a range of it, reverses it and sends it.
    void addressBlock()
    {
        importLcdPictures(10);
        // A refused entry puts the block back on the default addresses.
        for (const auto& [typed, first, last] : {std::tuple{"F6", "F6", "FF"},
                                                 {"5", "05", "0E"}, // padded to the type's width
                                                 {"+246", "01", "0A"}}) {
            typeOffset(typed);
            QCOMPARE(app->state.AssignedAddresses.value(1), first);
            QCOMPARE(w<QComboBox>("cmbStopAddresses")->currentText(), last);
            QCOMPARE(box("txtOffsetAddress"), first);
            QCOMPARE(panel(2), QString("Addresses Offset..."));
        }

        leave("cmbStartAddresses", "4");
        QCOMPARE(w<QComboBox>("cmbStartAddresses")->currentText(), QString("04"));
        QCOMPARE(ColumnTexts(w<QComboBox>("cmbStopAddresses")->model()), addresses(4, 7));
        QCOMPARE(w<QComboBox>("cmbStopAddresses")->currentText(), QString("0A"));
        leave("cmbStopAddresses", "06");
        click("cmdSetStart");
        const QList<bool> range{false, false, false, false, true, true,
                                true,  false, false, false, false};
        QCOMPARE(app->state.CheckedFlags, range);
        QCOMPARE(panel(2), QString("Addresses Updated"));
        leave("cmbStartAddresses", "99");
        leave("cmbStopAddresses", "02");
        QCOMPARE(shown(),
                 (QStringList{"Address Offset: Not enough addresses for 10 files.\r\nMaximum "
                              "address is F6.\r\nMaximum offset is 245.",
                              "Start Address Message: Invalid Start Address",
                              "Stop Address Message: Invalid Stop Address"}));

        click("cmdReverse");
        QCOMPARE(ColumnTexts(files(), 1), addresses(10, 10, -1));
        QCOMPARE(w<QComboBox>("cmbStartAddresses")->itemText(0), QString("0A"));
        QCOMPARE(panel(2), QString("Addresses Reversed..."));
        // Rows come back ticked; the batch keeps its ticks until the next refresh.
        QVERIFY(files()->isChecked(0));
        QCOMPARE(app->state.CheckedFlags, range);

        // The run sends the batch's ticked files in list order, a refused file again until the
        // controller takes it.
        app->controller.failNextPictures(3);
        app->seam.answers = {MessageAnswer::Yes}; // refresh the controller at the end
        click("cmdDownloadBatch");
        QCOMPARE(shown(), QStringList("Download Batch Message: Download successful.\r\nDo you "
                                      "want to refresh controller?"));
        QCOMPARE(sentAddresses(), (QStringList{"07", "07", "07", "07", "06", "05"}));
        QCOMPARE(panel(4), QString("3 downloaded files"));
        for (int i = 1; i <= 10; ++i) {
            const bool ticked = range.at(i);
            QCOMPARE(stored(quint16(11 - i)), ticked ? encoded(i) : QString());
            QCOMPARE(files()->rowColour(i - 1), ticked ? RowColour::Magenta : RowColour::Black);
        }
        using C = RowColour;
        QCOMPARE(coloursOf(3), (QList<C>{C::Blue, C::Yellow, C::Blue, C::Yellow, C::Blue, C::Yellow,
                                         C::Blue, C::Magenta}));
        QCOMPARE(coloursOf(4), (QList<C>{C::Blue, C::Magenta}));
        QCOMPARE(files()->data(files()->index(4, 1), Qt::ForegroundRole).value<QBrush>().color(),
                 QColor(0xFF, 0x00, 0xFF));
        QCOMPARE(files()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QString("Address"));
        QTRY_COMPARE(app->controller.counters().resets, 1);
        // The run's counts in the status bar, every file of the batch in the folder's report.
        QVERIFY2(panel(5).startsWith("3 done, 0 refused, 0 no reply, 7 skipped, 00:00:"),
                 qPrintable(panel(5)));
        const ReadReport report = ReadBatchReport(batch->filePath("Batch Report.csv"));
        QCOMPARE(report.results.size(), 10);
        for (int i = 1; i <= 10; ++i) {
            const BatchPictureResult& row = report.results.at(i - 1);
            QCOMPARE(row.file, pictureName(i));
            QCOMPARE(row.address, app->state.AssignedAddresses.at(i));
            QCOMPARE(row.outcome, range.at(i) ? PictureOutcome::Done : PictureOutcome::Skipped);
            QCOMPARE(row.attempts, !range.at(i) ? 0 : i == 4 ? 4 : 1);
            QCOMPARE(row.bytes, range.at(i) ? encoded(i).size() : 0);
        }
        QVERIFY(w<QLabel>("lblTime")->text().startsWith("Estimated Time Left: 00:00:00, "));
        QVERIFY(!app->state.BusyFlag);
        QVERIFY(w<QWidget>("famCommInfo")->isEnabled());
        // An offset starts again from the ascending list.
        typeOffset("+1");
        QCOMPARE(ColumnTexts(files(), 1), addresses(2, 10));
    }

    // One picture alone, then a controller that refuses everything: the picture turns red, and a
    // batch run gives up on its first file after the sixth refusal. Then a silent one.
    void misbehavingController()
    {
        importLcdPictures(3);
        auto* view = w<QTreeView>("LsvManyFiles");
        const QModelIndex second = files()->index(1, 0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(second).center());
        click("cmdDownloadPicture");
        QCOMPARE(stored(2), encoded(2));
        QCOMPARE(files()->rowColour(1), RowColour::Magenta);

        app->controller.setMisbehaviour(Misbehaviour::RefuseAll);
        click("cmdDownloadPicture");
        QCOMPARE(files()->rowColour(1), RowColour::Red);
        untick(1);
        click("cmdDownloadPicture");
        QCOMPARE(sentAddresses(), (QStringList{"02", "02"}));
        colours.clear();
        click("cmdDownloadBatch");
        using C = RowColour;
        QList<C> expected;
        for (int attempt = 0; attempt < 6; ++attempt)
            expected << C::Blue << C::Yellow;
        QCOMPARE(coloursOf(0), expected << C::Red);
        QCOMPARE(sentAddresses().mid(2), QStringList(6, QStringLiteral("01")));
        QCOMPARE(app->seam.messages.last().icon, MessageIcon::None);
        QCOMPARE(shown(), (QStringList{"Controller Error Message: An error message has been "
                                       "received from the controller.\r\nError message: 6E",
                                       "Download Picture Message: File has no address.\r\nPlease "
                                       "select a different file or check the checkbox.",
                                       "Download Picture Message: Error while downloading "
                                       "images.\r\nf01.bmp failed to download to address 01."}));
        QCOMPARE(panel(2), QString("Download Canceled"));
        // The window stops at the failed file: the one after it is not reached.
        QVERIFY(panel(5).startsWith("0 done, 1 refused, 0 no reply, 2 skipped, "));
        QVERIFY(!app->state.BusyFlag);

        // A silent controller, with replies not checked, is passed over file by file.
        app->controller.setMisbehaviour(Misbehaviour::Silent);
        w<QCheckBox>("chkController")->click();
        click("cmdDownloadBatch");
        QCOMPARE(sentAddresses().mid(8), (QStringList{"01", "03"}));
        QCOMPARE(files()->rowColour(2), RowColour::Cyan);
        QCOMPARE(panel(4), QString("No controller reply"));
        QCOMPARE(shown(), QStringList()); // nothing confirmed: no refresh question
    }

    // The operator pauses and continues one run, cancels the next while sending and the last
    // while paused, then leaves the screen and closes it.
    void pauseContinueCancelAndClose()
    {
        importLcdPictures(6);
        downloadPressing(w("cmdPause"), 2);
        QCOMPARE(sentAddresses(), addresses(1, 3));
        QCOMPARE(panel(2), QString("Download Paused"));
        QVERIFY(w("cmdPause")->isHidden());
        QVERIFY(!w("cmdContinueDownload")->isHidden());
        QVERIFY(app->state.BusyFlag);
        click("cmdDownloadBatch"); // a paused run is still busy, and refuses the operator's ticks
        QVERIFY(!files()->setData(files()->index(4, 0), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(sentAddresses().size(), 3);
        app->seam.answers = {MessageAnswer::No}; // no refresh at the end
        click("cmdContinueDownload");
        QCOMPARE(sentAddresses(), addresses(1, 3) + addresses(3, 4)); // the paused file again
        QCOMPARE(w("cmdPause")->text(), QString("Pause  Download"));
        QVERIFY(!app->state.BusyFlag);
        QCOMPARE(app->controller.counters().resets, 0);

        for (const bool pausedFirst : {false, true}) {
            const qsizetype before = sentAddresses().size();
            downloadPressing(w(pausedFirst ? "cmdPause" : "cmdCancel"), 1);
            if (pausedFirst)
                click("cmdCancel");
            QCOMPARE(sentAddresses().mid(before), addresses(1, 2));
            QCOMPARE(panel(2), QString("Download Canceled"));
            QCOMPARE(w("cmdCancel")->text(), QString("Cancel Download"));
            QVERIFY(w("cmdContinueDownload")->isHidden());
            QVERIFY(!w("cmdPause")->isHidden());
            QVERIFY(w<QWidget>("famCommInfo")->isEnabled());
            QVERIFY(app->state.CancelFlag); // until the next download starts
            QVERIFY(!app->state.BusyFlag);
            click("cmdContinueDownload"); // nothing left to continue
            QCOMPARE(sentAddresses().size(), before + 2);
        }
        QCOMPARE(shown().size(), 1); // only the refresh question of the finished run

        // Each screen puts back the type and the address it had when it was left; closing the
        // batch screen keeps its files and hands the link back.
        app->state.CurrentAddress = QStringLiteral("07");
        app->open("mnuSinglePicture");
        QCOMPARE(app->state.TypeCode, SwitchTypeCode::Oled64x48);
        QCOMPARE(app->state.CurrentAddress, QString("0001"));
        app->open("mnuBatchPictures");
        QCOMPARE(app->state.TypeCode, SwitchTypeCode::Lcd64x32);
        QCOMPARE(app->state.CurrentAddress, QString("07"));
        tester.reset(); // the model goes with the screen
        click("cmdClose");
        QTRY_VERIFY(!app->form->findChild<QWidget*>(QStringLiteral("frmBatchPicture")));
        QCOMPARE(app->state.BatchRecords.size(), 7);
        QCOMPARE(app->form->link().activeScreen(),
                 dynamic_cast<LinkScreen*>(app->find<QWidget>("frmSinglePicture")));
    }
};

QTEST_MAIN(TestBatchPicture)
#include "tst_batchpicture.moc"
