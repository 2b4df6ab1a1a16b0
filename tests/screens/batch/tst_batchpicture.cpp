#include "AppFixture.h"
#include "BatchFileModel.h"
#include "Encoders.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
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
    template <typename T = QPushButton> T* w(const char* name)
    {
        T* widget = screen->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no widget named %s", name);
        return widget;
    }
    void click(const char* name) { w(name)->click(); }
    BatchFileModel* files()
    {
        return qobject_cast<BatchFileModel*>(w<QTreeView>("LsvManyFiles")->model());
    }
    QString panel(int n) { return app->form->panelText(n); }
    QString box(const char* name) { return w<QLineEdit>(name)->text(); }
    // Every message box so far, as "title: text".
    QStringList shown() const { return app->seam.shown(); }
    bool isRed(const char* button)
    {
        return w(button)->palette().color(QPalette::Button) == Qt::red;
    }

    void chooseType(int type)
    {
        auto* combo = w<QComboBox>("cmbSwitchType");
        combo->setCurrentIndex(type - 1);
        Q_EMIT combo->activated(type - 1);
    }
    void importFrom(const QString& folder)
    {
        app->seam.openPaths.push_back(folder + QStringLiteral("/any.bmp"));
        click("cmdImportBatch");
    }
    QStringList column(int column)
    {
        QStringList texts;
        for (int row = 0; row < files()->rowCount(); ++row)
            texts << files()->index(row, column).data().toString();
        return texts;
    }
    void writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(batch->filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QString pictureName(int i)
    {
        return QStringLiteral("f%1.bmp").arg(i, 2, 10, QLatin1Char('0'));
    }
    // Imports `count` different LCD 64x32 pictures f01.bmp, f02.bmp, ... (the sample with one
    // pixel byte changed per file) for a controller set up for that type, so no question comes
    // before a download.
    void importLcdPictures(int count)
    {
        QFile sample(app->samplePath(QStringLiteral("LCD 64x32 Speaker.bmp")));
        QVERIFY(sample.open(QIODevice::ReadOnly));
        const QByteArray bytes = sample.readAll();
        constexpr int PixelStart = 62;
        for (int i = 1; i <= count; ++i) {
            QByteArray picture = bytes;
            picture[PixelStart + i] = char(~picture[PixelStart + i]);
            writeFile(pictureName(i), picture);
        }
        app->controller.setIdentity({'2', "GLINTSIM", 'V', "1.00"});
        app->state.ControllerSetting = SwitchTypeCode::Lcd64x32;
        chooseType(SwitchTypeCode::Lcd64x32);
        importFrom(batch->path());
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
    void tickRow(int row, bool on)
    {
        QVERIFY(files()->setData(files()->index(row, 0), on ? Qt::Checked : Qt::Unchecked,
                                 Qt::CheckStateRole));
    }
    void leave(const char* comboName, const QString& typed)
    {
        auto* combo = w<QComboBox>(comboName);
        combo->setEditText(typed);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(combo, &out);
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
        app = std::make_unique<AppFixture>();
        QVERIFY(app->start());
        app->form->findChild<QAction*>(QStringLiteral("mnuBatchPictures"))->trigger();
        screen = app->form->findChild<QWidget*>(QStringLiteral("frmBatchPicture"));
        QVERIFY(screen);
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

    // Each screen puts back the type and the address it had when it was left.
    void screensKeepTheirTypeAndAddress()
    {
        chooseType(1);
        app->state.CurrentAddress = QStringLiteral("07");
        app->form->findChild<QAction*>(QStringLiteral("mnuSinglePicture"))->trigger();
        QCOMPARE(app->state.TypeCode, SwitchTypeCode::Oled64x48);
        QCOMPARE(app->state.CurrentAddress, QString("0001"));
        app->form->findChild<QAction*>(QStringLiteral("mnuBatchPictures"))->trigger();
        QCOMPARE(app->state.TypeCode, SwitchTypeCode::Lcd36x24);
        QCOMPARE(app->state.CurrentAddress, QString("07"));
    }

    void importTakesTheTypesFiles_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("firstAddress");
        QTest::addColumn<QString>("maxStart");
        QTest::addColumn<QString>("ledOn");
        const auto row = [](const char* tag, int type, const QStringList& listed, const char* first,
                            const char* maxStart, const char* ledOn) {
            QTest::newRow(tag) << type << listed << QString(first) << QString(maxStart)
                               << QString(ledOn);
        };
        row("LCD 36x24", 1, {"LCD 36x24 Power.bmp"}, "01", "FF", "0");
        row("LCD 64x32", 2, {"LCD 64x32 Speaker.bmp"}, "01", "FF", "00");
        row("OLED 64x48 both lengths", 3, {"Koala.bmp", "OLED 64x48 Sunset.bmp"}, "0001", "FFFE",
            "");
        row("OLED 52x36 only 9272", 4, {"Koala.bmp"}, "0001", "FFFF", "");
    }
    void importTakesTheTypesFiles()
    {
        QFETCH(int, type);
        QFETCH(QStringList, listed);
        QFETCH(QString, firstAddress);
        QFETCH(QString, maxStart);
        QFETCH(QString, ledOn);
        QVERIFY(SeedSamplePictures(batch->path())); // one sample of every type
        chooseType(type);
        importFrom(batch->path());

        QCOMPARE(column(BatchFileModel::FileColumn), listed);
        QCOMPARE(column(BatchFileModel::AddressColumn).first(), firstAddress);
        QCOMPARE(box("txtFilePath"), batch->path() + QLatin1Char('/'));
        QCOMPARE(box("txtFirstFile"), listed.first());
        QCOMPARE(box("txtFileSize"),
                 QString::number(QFileInfo(batch->filePath(listed.first())).size()));
        QCOMPARE(box("txtMaxStartAddress"), maxStart);
        QCOMPARE(panel(2), QString("Import Successful"));
        QCOMPARE(panel(3), QStringLiteral("%1 imported files").arg(listed.size()));
        QCOMPARE(app->state.BatchRecords.at(1).TypeCode, qint16(type));
        QCOMPARE(app->state.BatchRecords.at(1).LEDon, ledOn);
        QCOMPARE(shown(), QStringList());
        QVERIFY(w("cmdCancelImport")->isHidden());
        QVERIFY(!w<QLabel>("picHolder")->pixmap().isNull());
    }

    // A large import ends with a message; a large list takes ticks into the batch only when
    // the operator refreshes it.
    void largeBatches_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("announced");
        QTest::addColumn<bool>("atOnce");
        QTest::newRow("99 files") << 99 << false << true;
        QTest::newRow("100 files") << 100 << true << true;
        QTest::newRow("101 files") << 101 << true << false;
    }
    void largeBatches()
    {
        QFETCH(int, count);
        QFETCH(bool, announced);
        QFETCH(bool, atOnce);
        for (int i = 0; i < count; ++i)
            writeFile(QStringLiteral("p%1.bmp").arg(i, 3, 10, QLatin1Char('0')),
                      QByteArray(254, '\0'));
        chooseType(1);
        importFrom(batch->path());
        QCOMPARE(files()->rowCount(), count);
        QCOMPARE(shown(), announced ? QStringList{"Import Batch Message: Import Successful"}
                                    : QStringList());
        tickRow(5, false);
        QCOMPARE(app->state.CheckedFlags.at(6), !atOnce);
        QCOMPARE(isRed("cmdRefresh"), !atOnce);
        if (!atOnce) {
            click("cmdDownloadBatch");
            QCOMPARE(shown().last(),
                     QString("Download Picture Message: Press refresh button first."));
        }
        click("cmdCheckAll");
        if (!atOnce)
            click("cmdRefresh");
        QVERIFY(!isRed("cmdRefresh"));
        QCOMPARE(panel(2), QString("Refresh Complete"));
        QVERIFY(app->state.CheckedFlags.at(6));
        QCOMPARE(sentAddresses(), QStringList());
    }

    void folderWithoutTheTypeSaysSo()
    {
        writeFile("a.bmp", QByteArray(254, '\0'));
        chooseType(3);
        importFrom(batch->path());
        QCOMPARE(shown(), QStringList{"Load File Error: There are no files for this switch type "
                                      "in selected folder.\r\nPlease select a different switch "
                                      "type or a different folder."});
        QCOMPARE(panel(2), QString("Import Canceled"));
        QVERIFY(box("txtFilePath").isEmpty());
        QVERIFY(!app->state.BusyFlag);
    }

    void cancelledImportKeepsWhatItFound()
    {
        // Enough files that collecting them outlasts several turns of the window.
        constexpr int Count = 5000;
        for (int i = 0; i < Count; ++i)
            writeFile(QStringLiteral("p%1.bmp").arg(i), QByteArray(254, '\0'));
        chooseType(1);
        // Cancel Import is pressed while the files are collected.
        int collected = 0;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [this, &watch, &collected] {
            static const QRegularExpression counted(QStringLiteral("^([1-9]\\d*) imported files$"));
            const QRegularExpressionMatch match = counted.match(panel(3));
            if (match.hasMatch()) {
                watch.stop();
                collected = match.captured(1).toInt();
                click("cmdCancelImport");
            }
        });
        watch.start(0);
        importFrom(batch->path());
        QCOMPARE(shown(), QStringList{"Import Batch Message: Import Canceled"});
        QCOMPARE(panel(2), QString("Import Canceled"));
        QVERIFY(collected > 0 && collected < Count);
        QCOMPARE(files()->rowCount(), collected);
        QCOMPARE(box("txtFirstFile"), app->state.BatchFileNames.at(1));
        QVERIFY(!app->state.BusyFlag);
    }

    // The row's name is the button pressed on a screen without files.
    void emptyScreenExplains_data()
    {
        QTest::addColumn<QString>("message");
        const auto row = [](const char* button, const char* message) {
            QTest::newRow(button) << QString(message);
        };
        row("cmdCheckAll", "Check All File List Message: No files to check.");
        row("cmdCheckNone", "Check None File List Message: No files to uncheck.");
        row("cmdInvert", "Invert File List Message: No files to invert check.");
        row("cmdRefresh", "Refresh File List Message: No files have been imported.");
        row("cmdOffsetAddresses", "Offset Address Message: No files have been imported.");
        row("cmdReverse", "Reversing Addresses Message: No files have been imported.");
        row("cmdSetStart", "Select Address Message: No files have been imported.");
        row("cmdDownloadBatch", "Download Picture Message: No files to download.");
        row("cmdDownloadPicture", "Download Picture Message: No files to select.");
        row("cmdPause", "Pause Download Message: No files have been imported.");
        row("cmdEditAttributes", "Edit Attributes Message: No files have been imported.");
    }
    void emptyScreenExplains()
    {
        QFETCH(QString, message);
        click(QTest::currentDataTag());
        QCOMPARE(shown(), QStringList{message});
    }

    void startEntryMovesTheBlock_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QStringList>("messages");
        const auto row = [](const char* typed, const char* first, const char* last,
                            const QStringList& messages) {
            QTest::newRow(typed) << QString(typed) << QString(first) << QString(last) << messages;
        };
        row("F6", "F6", "FF", {});
        row("5", "05", "0E", {}); // padded to the type's width
        // A refused entry puts the block back on the default addresses.
        row("+246", "01", "0A",
            {"Address Offset: Not enough addresses for 10 files.\r\nMaximum address is F6.\r\n"
             "Maximum offset is 245."});
    }
    void startEntryMovesTheBlock()
    {
        QFETCH(QString, typed);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QStringList, messages);
        importLcdPictures(10);
        typeOffset(typed);
        QCOMPARE(shown(), messages);
        QCOMPARE(app->state.AssignedAddresses.value(1), first);
        QCOMPARE(app->state.AssignedAddresses.value(10), last);
        QCOMPARE(column(1).first(), first);
        QCOMPARE(w<QComboBox>("cmbStopAddresses")->currentText(), last);
        QCOMPARE(box("txtOffsetAddress"), first);
        QCOMPARE(panel(2), QString("Addresses Offset..."));
    }

    void reverseAndOffsetRebuildTickedRows()
    {
        importLcdPictures(3);
        tickRow(1, false);
        QCOMPARE(app->state.CheckedFlags, (QList<bool>{false, true, false, true}));
        click("cmdReverse");
        QCOMPARE(column(1), (QStringList{"03", "02", "01"}));
        QCOMPARE(w<QComboBox>("cmbStartAddresses")->itemText(0), QString("03"));
        QCOMPARE(panel(2), QString("Addresses Reversed..."));
        // Rows come back ticked; the batch keeps its ticks until the next refresh.
        QVERIFY(files()->isChecked(1));
        QCOMPARE(app->state.CheckedFlags, (QList<bool>{false, true, false, true}));
        // An offset starts again from the ascending list.
        typeOffset("+1");
        QCOMPARE(column(1), (QStringList{"02", "03", "04"}));
    }

    void startAndStopTickARange()
    {
        importLcdPictures(8);
        leave("cmbStartAddresses", "4");
        QCOMPARE(w<QComboBox>("cmbStartAddresses")->currentText(), QString("04"));
        auto* stop = w<QComboBox>("cmbStopAddresses");
        QCOMPARE(stop->count(), 5);
        QCOMPARE(stop->itemText(0), QString("04"));
        QCOMPARE(stop->currentText(), QString("08"));
        leave("cmbStopAddresses", "06");
        click("cmdSetStart");
        QCOMPARE(app->state.CheckedFlags,
                 (QList<bool>{false, false, false, false, true, true, true, false, false}));
        QCOMPARE(panel(2), QString("Addresses Updated"));

        leave("cmbStartAddresses", "99");
        leave("cmbStopAddresses", "02");
        QCOMPARE(shown(), (QStringList{"Start Address Message: Invalid Start Address",
                                       "Stop Address Message: Invalid Stop Address"}));
    }

    void runDeliversEveryTickedPicture()
    {
        importLcdPictures(20);
        typeOffset("+16");
        click("cmdReverse");
        tickRow(2, false);
        tickRow(6, false);
        app->seam.answers = {MessageAnswer::Yes}; // refresh the controller at the end
        click("cmdDownloadBatch");

        QCOMPARE(shown(), QStringList{"Download Batch Message: Download successful.\r\nDo you "
                                      "want to refresh controller?"});
        QCOMPARE(panel(4), QString("18 downloaded files"));
        for (int i = 1; i <= 20; ++i) {
            const quint16 address = quint16(0x24 - (i - 1)); // offset 16, reversed
            const bool ticked = i != 3 && i != 7;
            QCOMPARE(stored(address), ticked ? encoded(i) : QString());
            QCOMPARE(files()->rowColour(i - 1), ticked ? RowColour::Magenta : RowColour::Black);
        }
        QCOMPARE(sentAddresses().first(), QString("24"));
        QCOMPARE(sentAddresses().size(), 18);
        QTRY_COMPARE(app->controller.counters().resets, 1);
        QVERIFY(QRegularExpression(QStringLiteral("^Estimated Time Left: 00:00:00, Elapsed: "
                                                  "\\d\\d:\\d\\d:\\d\\d, Unit: \\d+ms$"))
                    .match(w<QLabel>("lblTime")->text())
                    .hasMatch());
        QVERIFY(!app->state.BusyFlag);
        QVERIFY(w<QWidget>("famCommInfo")->isEnabled());
    }

    void refusedFileIsSentAgain()
    {
        importLcdPictures(2);
        app->controller.failNextPictures(3);
        app->seam.answers = {MessageAnswer::No};
        click("cmdDownloadBatch");
        using C = RowColour;
        QCOMPARE(coloursOf(0), (QList<C>{C::Blue, C::Yellow, C::Blue, C::Yellow, C::Blue, C::Yellow,
                                         C::Blue, C::Magenta}));
        QCOMPARE(coloursOf(1), (QList<C>{C::Blue, C::Magenta}));
        QCOMPARE(sentAddresses(), (QStringList{"01", "01", "01", "01", "02"}));
        QCOMPARE(stored(1), encoded(1));
        QCOMPARE(panel(4), QString("2 downloaded files"));
        QCOMPARE(app->controller.counters().resets, 0);
    }

    void sixthFailureEndsTheRun()
    {
        importLcdPictures(3);
        typeOffset("10");
        app->controller.setMisbehaviour(Misbehaviour::RefuseAll);
        click("cmdDownloadBatch");
        using C = RowColour;
        QList<C> expected;
        for (int attempt = 0; attempt < 6; ++attempt)
            expected << C::Blue << C::Yellow;
        QCOMPARE(coloursOf(0), expected << C::Red);
        QCOMPARE(sentAddresses(), QStringList(6, QStringLiteral("10")));
        QCOMPARE(shown(), QStringList{"Download Picture Message: Error while downloading "
                                      "images.\r\nf01.bmp failed to download to address 10."});
        QCOMPARE(app->seam.messages.last().icon, MessageIcon::None);
        QCOMPARE(panel(2), QString("Download Canceled"));
        QVERIFY(!app->state.BusyFlag);
    }

    void silentControllerWithoutReplyCheckPassesFilesOver()
    {
        importLcdPictures(3);
        app->controller.setMisbehaviour(Misbehaviour::Silent);
        w<QCheckBox>("chkController")->click(); // replies are not checked
        click("cmdDownloadBatch");
        QCOMPARE(sentAddresses(), (QStringList{"01", "02", "03"}));
        QCOMPARE(files()->rowColour(2), RowColour::Cyan);
        QCOMPARE(panel(4), QString("No controller reply"));
        QCOMPARE(shown(), QStringList()); // nothing confirmed: no refresh question
    }

    void pauseThenContinueSendsThePausedFileAgain()
    {
        importLcdPictures(10);
        pressWhenSending = w("cmdPause");
        pressRow = 3;
        click("cmdDownloadBatch");
        QCOMPARE(sentAddresses(), (QStringList{"01", "02", "03", "04"}));
        QCOMPARE(panel(2), QString("Download Paused"));
        QVERIFY(w("cmdPause")->isHidden());
        QVERIFY(!w("cmdContinueDownload")->isHidden());
        QVERIFY(app->state.BusyFlag);
        click("cmdDownloadBatch"); // a paused run is still busy
        QCOMPARE(sentAddresses().size(), 4);

        app->seam.answers = {MessageAnswer::No};
        click("cmdContinueDownload");
        QCOMPARE(sentAddresses(),
                 (QStringList{"01", "02", "03", "04", "04", "05", "06", "07", "08", "09", "0A"}));
        for (int i = 1; i <= 10; ++i)
            QCOMPARE(stored(quint16(i)), encoded(i));
        QCOMPARE(w("cmdPause")->text(), QString("Pause  Download"));
        QVERIFY(w("cmdContinueDownload")->isHidden());
        QVERIFY(!app->state.BusyFlag);
    }

    void cancelEndsTheRun_data()
    {
        QTest::addColumn<bool>("pausedFirst");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("while sending") << false << QStringList{"01", "02"};
        QTest::newRow("while paused") << true << QStringList{"01", "02", "03"};
    }
    void cancelEndsTheRun()
    {
        QFETCH(bool, pausedFirst);
        QFETCH(QStringList, sent);
        importLcdPictures(6);
        pressWhenSending = w(pausedFirst ? "cmdPause" : "cmdCancel");
        pressRow = int(sent.size()) - 1;
        click("cmdDownloadBatch");
        if (pausedFirst)
            click("cmdCancel");
        QCOMPARE(sentAddresses(), sent);
        QCOMPARE(panel(2), QString("Download Canceled"));
        QCOMPARE(w("cmdCancel")->text(), QString("Cancel Download"));
        QVERIFY(w("cmdContinueDownload")->isHidden());
        QVERIFY(!w("cmdPause")->isHidden());
        QVERIFY(w<QWidget>("famCommInfo")->isEnabled());
        QVERIFY(app->state.CancelFlag); // until the next download starts
        QVERIFY(!app->state.BusyFlag);
        QCOMPARE(shown(), QStringList());
        click("cmdContinueDownload"); // nothing left to continue
        QCOMPARE(sentAddresses(), sent);
    }

    void selectedImageAlone()
    {
        importLcdPictures(3);
        auto* view = w<QTreeView>("LsvManyFiles");
        const QModelIndex second = files()->index(1, 0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(second).center());
        click("cmdDownloadPicture");
        QCOMPARE(sentAddresses(), QStringList{"02"});
        QCOMPARE(stored(2), encoded(2));
        QCOMPARE(files()->rowColour(1), RowColour::Magenta);
        QCOMPARE(panel(4), QString("1 downloaded files"));

        app->controller.setMisbehaviour(Misbehaviour::RefuseAll);
        click("cmdDownloadPicture");
        QCOMPARE(files()->rowColour(1), RowColour::Red);
        tickRow(1, false);
        click("cmdDownloadPicture");
        QCOMPARE(shown(), (QStringList{"Controller Error Message: An error message has been "
                                       "received from the controller.\r\nError message: 6E",
                                       "Download Picture Message: File has no address.\r\nPlease "
                                       "select a different file or check the checkbox."}));
        QCOMPARE(panel(2), QString("Download Canceled"));
        QCOMPARE(sentAddresses().size(), 2);
        QVERIFY(!app->state.BusyFlag);
    }

    void closingKeepsTheBatch()
    {
        importLcdPictures(2);
        tester.reset(); // the model goes with the screen
        click("cmdClose");
        QTRY_VERIFY(!app->form->findChild<QWidget*>(QStringLiteral("frmBatchPicture")));
        QCOMPARE(app->state.BatchRecords.size(), 3);
        // The screen left behind takes over the link.
        QCOMPARE(app->form->link().activeScreen(),
                 dynamic_cast<LinkScreen*>(app->find<QWidget>("frmSinglePicture")));
    }
};

QTEST_MAIN(TestBatchPicture)
#include "tst_batchpicture.moc"
