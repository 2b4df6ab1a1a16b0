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

    template <typename T> T* w(const char* name)
    {
        T* widget = screen->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no widget named %s", name);
        return widget;
    }
    void click(const char* name) { w<QPushButton>(name)->click(); }
    BatchFileModel* files()
    {
        return qobject_cast<BatchFileModel*>(w<QTreeView>("LsvManyFiles")->model());
    }
    QString panel(int n) { return app->form->panelText(n); }
    QString box(const char* name) { return w<QLineEdit>(name)->text(); }
    QStringList messages() { return app->seam.messageTexts(); }
    QString lastTitle() { return app->seam.messages.last().title; }

    void chooseType(int type)
    {
        auto* combo = w<QComboBox>("cmbSwitchType");
        combo->setCurrentIndex(type - 1);
        Q_EMIT combo->activated(type - 1);
    }
    // The controller is set up for the type, so no question comes before a download.
    void expectType(int type)
    {
        app->controller.setIdentity({char('0' + type), "GLINTSIM", 'V', "1.00"});
        app->state.ControllerSetting = qint16(type);
        chooseType(type);
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
    // `count` different LCD 64x32 pictures f01.bmp, f02.bmp, ...: the sample with one byte of
    // its pixels changed per file.
    void writeLcdPictures(int count)
    {
        QFile sample(app->samplePath(QStringLiteral("LCD 64x32 Speaker.bmp")));
        QVERIFY(sample.open(QIODevice::ReadOnly));
        const QByteArray bytes = sample.readAll();
        constexpr int PixelStart = 62;
        for (int i = 1; i <= count; ++i) {
            QByteArray picture = bytes;
            picture[PixelStart + i] = char(~picture[PixelStart + i]);
            writeFile(QStringLiteral("f%1.bmp").arg(i, 2, 10, QLatin1Char('0')), picture);
        }
    }
    void importLcdPictures(int count)
    {
        writeLcdPictures(count);
        expectType(2);
        importFrom(batch->path());
        QCOMPARE(files()->rowCount(), count);
    }
    // What the controller stores, as hex digits, and what the encoder makes of the file.
    QString stored(quint16 address, qint16 type)
    {
        const auto picture = app->controller.picture(address, type);
        return picture ? QString::fromLatin1(picture->payload.toHex().toUpper()) : QString();
    }
    QString encoded(const QString& name)
    {
        return EncodeLcd64x32(batch->filePath(name), {}, {}, app->state, app->seam);
    }
    // The addresses of the transfer headers the controller received, in order.
    QStringList sentAddresses()
    {
        QStringList addresses;
        const QByteArray received = app->controller.receivedBytes();
        static const QRegularExpression header(QStringLiteral("\\(([0-9A-F]{2})"));
        auto matches = header.globalMatch(QString::fromLatin1(received));
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
    // Presses a button as soon as `row` starts to be sent.
    void pressWhenSending(int row, const char* button)
    {
        QPushButton* target = w<QPushButton>(button);
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection =
            connect(files(), &QAbstractItemModel::dataChanged, this,
                    [this, row, target, connection](const QModelIndex& topLeft) {
                        if (topLeft.row() == row && files()->rowColour(row) == RowColour::Blue) {
                            disconnect(*connection);
                            QTimer::singleShot(0, target, &QPushButton::click);
                        }
                    });
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
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
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
        connect(files(), &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex& topLeft, const QModelIndex& bottomRight,
                       const QList<int>& roles) {
                    if (topLeft.row() == bottomRight.row() && roles.contains(Qt::ForegroundRole))
                        colours.append({topLeft.row(), files()->rowColour(topLeft.row())});
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
        QTest::newRow("LCD 36x24") << 1 << QStringList{"LCD 36x24 Power.bmp"} << "01"
                                   << "FF";
        QTest::newRow("LCD 64x32") << 2 << QStringList{"LCD 64x32 Speaker.bmp"} << "01"
                                   << "FF";
        QTest::newRow("OLED 64x48 both lengths")
            << 3 << QStringList{"Koala.bmp", "OLED 64x48 Sunset.bmp"} << "0001"
            << "FFFE";
        QTest::newRow("OLED 52x36 only 9272") << 4 << QStringList{"Koala.bmp"} << "0001"
                                              << "FFFF";
        QTest::newRow("MONO both lengths")
            << 5 << QStringList{"MONO 96x64 Bell.bmp", "MONO 96x64 Gears.bmp"} << "0001"
            << "FFFE";
    }
    void importTakesTheTypesFiles()
    {
        QFETCH(int, type);
        QFETCH(QStringList, listed);
        QFETCH(QString, firstAddress);
        QFETCH(QString, maxStart);
        // Every sample, plus files that must stay out: wrong extension, one byte off, SD length.
        for (const QString& sample : SamplePicturePaths())
            QVERIFY(QFile::copy(sample, batch->filePath(QFileInfo(sample).fileName())));
        writeFile("LCD copy.txt", QByteArray(254, '\0'));
        writeFile("short.bmp", QByteArray(253, '\0'));
        writeFile("long.BMP", QByteArray(9273, '\0'));
        writeFile("switch data.bmp", QByteArray(264, '\0'));
        writeFile("no extension", QByteArray(318, '\0'));
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
        QCOMPARE(app->state.BatchFileNames.mid(1), listed);
        QCOMPARE(app->state.BatchRecords.at(1).TypeCode, qint16(type));
        QCOMPARE(app->state.BatchRecords.at(1).LEDon, type == 1   ? QString("0")
                                                      : type == 2 ? QString("00")
                                                                  : QString());
        QVERIFY(messages().isEmpty());
        QVERIFY(w<QPushButton>("cmdCancelImport")->isHidden());
        QVERIFY(!w<QLabel>("picHolder")->pixmap().isNull());
    }

    void sortsByCharacterCode()
    {
        for (const char* name : {"b.bmp", "A.bmp", "a.bmp", "B.Bmp"})
            writeFile(QString::fromLatin1(name), QByteArray(254, '\0'));
        chooseType(1);
        importFrom(batch->path());
        QCOMPARE(column(0), (QStringList{"A.bmp", "B.Bmp", "a.bmp", "b.bmp"}));
        QCOMPARE(column(1), (QStringList{"01", "02", "03", "04"}));
        QCOMPARE(w<QComboBox>("cmbStartAddresses")->currentText(), QString("01"));
        QCOMPARE(w<QComboBox>("cmbStopAddresses")->currentText(), QString("04"));
        QCOMPARE(box("txtMaxStartAddress"), QString("FC"));
    }

    void largeImportsAreAnnounced_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("99 files") << 99 << QStringList{};
        QTest::newRow("100 files") << 100 << QStringList{"Import Successful"};
    }
    void largeImportsAreAnnounced()
    {
        QFETCH(int, count);
        QFETCH(QStringList, shown);
        for (int i = 0; i < count; ++i)
            writeFile(QStringLiteral("p%1.bmp").arg(i), QByteArray(832, '\0'));
        chooseType(5);
        importFrom(batch->path());
        QCOMPARE(messages(), shown);
        QCOMPARE(files()->rowCount(), count);
        QCOMPARE(box("txtMaxStartAddress"), QString::number(65536 - count, 16).toUpper());
    }

    void folderWithoutTheTypeSaysSo()
    {
        writeFile("a.bmp", QByteArray(254, '\0'));
        chooseType(3);
        importFrom(batch->path());
        QCOMPARE(messages(),
                 QStringList{"There are no files for this switch type in selected folder.\r\n"
                             "Please select a different switch type or a different folder."});
        QCOMPARE(lastTitle(), QString("Load File Error"));
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
        QCOMPARE(messages(), QStringList{"Import Canceled"});
        QCOMPARE(lastTitle(), QString("Import Batch Message"));
        QCOMPARE(panel(2), QString("Import Canceled"));
        QVERIFY(collected > 0 && collected < Count);
        QCOMPARE(files()->rowCount(), collected);
        QCOMPARE(box("txtFirstFile"), app->state.BatchFileNames.at(1));
        QVERIFY(!app->state.BusyFlag);
    }

    void emptyScreenExplains_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::newRow("All") << "cmdCheckAll"
                             << "No files to check."
                             << "Check All File List Message";
        QTest::newRow("None") << "cmdCheckNone"
                              << "No files to uncheck."
                              << "Check None File List Message";
        QTest::newRow("Invert") << "cmdInvert"
                                << "No files to invert check."
                                << "Invert File List Message";
        QTest::newRow("Refresh") << "cmdRefresh"
                                 << "No files have been imported."
                                 << "Refresh File List Message";
        QTest::newRow("Offset") << "cmdOffsetAddresses"
                                << "No files have been imported."
                                << "Offset Address Message";
        QTest::newRow("Reverse") << "cmdReverse"
                                 << "No files have been imported."
                                 << "Reversing Addresses Message";
        QTest::newRow("Start / Stop") << "cmdSetStart"
                                      << "No files have been imported."
                                      << "Select Address Message";
        QTest::newRow("Download Batch") << "cmdDownloadBatch"
                                        << "No files to download."
                                        << "Download Picture Message";
        QTest::newRow("Download Selected Image") << "cmdDownloadPicture"
                                                 << "No files to select."
                                                 << "Download Picture Message";
        QTest::newRow("Pause") << "cmdPause"
                               << "No files have been imported."
                               << "Pause Download Message";
        QTest::newRow("Edit Attributes") << "cmdEditAttributes"
                                         << "No files have been imported."
                                         << "Edit Attributes Message";
    }
    void emptyScreenExplains()
    {
        QFETCH(QString, button);
        QFETCH(QString, text);
        QFETCH(QString, title);
        click(qPrintable(button));
        QCOMPARE(messages(), QStringList{text});
        QCOMPARE(lastTitle(), title);
    }

    void startEntryMovesTheBlock_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QStringList>("shown");
        const QString notEnough = QStringLiteral(
            "Not enough addresses for 10 files.\r\nMaximum address is F6.\r\nMaximum offset is "
            "245.");
        QTest::newRow("start F6") << "F6"
                                  << "F6"
                                  << "FF" << QStringList{};
        QTest::newRow("start F7 goes back to 01") << "F7"
                                                  << "01"
                                                  << "0A" << QStringList{notEnough};
        QTest::newRow("offset +245") << "+245"
                                     << "F6"
                                     << "FF" << QStringList{};
        QTest::newRow("offset +246") << "+246"
                                     << "01"
                                     << "0A" << QStringList{notEnough};
        QTest::newRow("start 5 is padded") << "5"
                                           << "05"
                                           << "0E" << QStringList{};
        QTest::newRow("not hex") << "G1"
                                 << "01"
                                 << "0A"
                                 << QStringList{"Address must be in Hex or Decimal format."};
    }
    void startEntryMovesTheBlock()
    {
        QFETCH(QString, typed);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QStringList, shown);
        importLcdPictures(10);
        typeOffset(typed);
        QCOMPARE(messages(), shown);
        if (!shown.isEmpty())
            QCOMPARE(lastTitle(), QString("Address Offset"));
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
        auto* start = w<QComboBox>("cmbStartAddresses");
        QCOMPARE(start->itemText(0), QString("03"));
        QCOMPARE(start->itemText(2), QString("01"));
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
        QCOMPARE(messages(), QStringList{"Invalid Start Address"});
        QCOMPARE(lastTitle(), QString("Start Address Message"));
        leave("cmbStopAddresses", "02");
        QCOMPARE(messages().last(), QString("Invalid Stop Address"));
    }

    void largeListsAskForARefresh_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("atOnce");
        QTest::newRow("100 rows refresh at once") << 100 << true;
        QTest::newRow("101 rows wait for Refresh") << 101 << false;
    }
    void largeListsAskForARefresh()
    {
        QFETCH(int, count);
        QFETCH(bool, atOnce);
        for (int i = 0; i < count; ++i)
            writeFile(QStringLiteral("p%1.bmp").arg(i, 3, 10, QLatin1Char('0')),
                      QByteArray(254, '\0'));
        chooseType(1);
        importFrom(batch->path());
        tickRow(5, false);
        QCOMPARE(app->state.CheckedFlags.at(6), !atOnce);
        auto* refresh = w<QPushButton>("cmdRefresh");
        QCOMPARE(refresh->palette().color(QPalette::Button) == QColor(Qt::red), !atOnce);
        if (atOnce) // the download starts: it asks about the type first, and is told no
            app->seam.answers = {MessageAnswer::No};
        click("cmdDownloadBatch");
        click("cmdCheckAll");
        if (!atOnce) {
            QCOMPARE(messages().last(), QString("Press refresh button first."));
            click("cmdRefresh");
            QVERIFY(refresh->palette().color(QPalette::Button) != QColor(Qt::red));
        }
        QCOMPARE(panel(2), QString("Refresh Complete"));
        QVERIFY(app->state.CheckedFlags.at(6));
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

        QCOMPARE(messages(),
                 QStringList{"Download successful.\r\nDo you want to refresh controller?"});
        QCOMPARE(lastTitle(), QString("Download Batch Message"));
        QCOMPARE(panel(4), QString("18 downloaded files"));
        for (int i = 1; i <= 20; ++i) {
            const quint16 address = quint16(0x24 - (i - 1)); // offset 16, reversed
            const QString name = QStringLiteral("f%1.bmp").arg(i, 2, 10, QLatin1Char('0'));
            const bool ticked = i != 3 && i != 7;
            QCOMPARE(stored(address, 2), ticked ? encoded(name) : QString());
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
        QCOMPARE(stored(1, 2), encoded("f01.bmp"));
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
        QCOMPARE(messages(), QStringList{"Error while downloading images.\r\nf01.bmp failed to "
                                         "download to address 10."});
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
        QVERIFY(messages().isEmpty()); // nothing confirmed: no refresh question
    }

    void pauseThenContinueSendsThePausedFileAgain()
    {
        importLcdPictures(10);
        pressWhenSending(3, "cmdPause");
        click("cmdDownloadBatch");
        QCOMPARE(sentAddresses(), (QStringList{"01", "02", "03", "04"}));
        QCOMPARE(panel(2), QString("Download Paused"));
        QVERIFY(w<QPushButton>("cmdPause")->isHidden());
        QVERIFY(!w<QPushButton>("cmdContinueDownload")->isHidden());
        QVERIFY(app->state.BusyFlag);
        click("cmdDownloadBatch"); // a paused run is still busy
        QCOMPARE(sentAddresses().size(), 4);

        app->seam.answers = {MessageAnswer::No};
        click("cmdContinueDownload");
        QCOMPARE(sentAddresses(),
                 (QStringList{"01", "02", "03", "04", "04", "05", "06", "07", "08", "09", "0A"}));
        for (int i = 1; i <= 10; ++i)
            QCOMPARE(stored(quint16(i), 2),
                     encoded(QStringLiteral("f%1.bmp").arg(i, 2, 10, QLatin1Char('0'))));
        QCOMPARE(w<QPushButton>("cmdPause")->text(), QString("Pause  Download"));
        QVERIFY(w<QPushButton>("cmdContinueDownload")->isHidden());
        QVERIFY(!app->state.BusyFlag);
    }

    void cancelStopsTheRun()
    {
        importLcdPictures(6);
        pressWhenSending(1, "cmdCancel");
        click("cmdDownloadBatch");
        QCOMPARE(sentAddresses(), (QStringList{"01", "02"}));
        QCOMPARE(panel(2), QString("Download Canceled"));
        QCOMPARE(w<QPushButton>("cmdCancel")->text(), QString("Cancel Download"));
        QVERIFY(app->state.CancelFlag); // until the next download starts
        QVERIFY(!app->state.BusyFlag);
        QVERIFY(messages().isEmpty());
    }

    void cancelWhilePausedEndsTheRun()
    {
        importLcdPictures(6);
        pressWhenSending(2, "cmdPause");
        click("cmdDownloadBatch");
        QVERIFY(!w<QPushButton>("cmdContinueDownload")->isHidden());
        click("cmdCancel");
        QVERIFY(w<QPushButton>("cmdContinueDownload")->isHidden());
        QVERIFY(!w<QPushButton>("cmdPause")->isHidden());
        QCOMPARE(panel(2), QString("Download Canceled"));
        QCOMPARE(w<QPushButton>("cmdCancel")->text(), QString("Cancel Download"));
        QVERIFY(w<QWidget>("famCommInfo")->isEnabled());
        QVERIFY(app->state.CancelFlag);
        QVERIFY(!app->state.BusyFlag);
        click("cmdContinueDownload"); // nothing left to continue
        QCOMPARE(sentAddresses().size(), 3);
    }

    void selectedImageAlone()
    {
        importLcdPictures(3);
        auto* view = w<QTreeView>("LsvManyFiles");
        const QModelIndex second = files()->index(1, 0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(second).center());
        click("cmdDownloadPicture");
        QCOMPARE(sentAddresses(), QStringList{"02"});
        QCOMPARE(stored(2, 2), encoded("f02.bmp"));
        QCOMPARE(files()->rowColour(1), RowColour::Magenta);
        QCOMPARE(panel(4), QString("1 downloaded files"));

        app->controller.setMisbehaviour(Misbehaviour::RefuseAll);
        click("cmdDownloadPicture");
        QCOMPARE(files()->rowColour(1), RowColour::Red);
        QCOMPARE(messages(), QStringList{"An error message has been received from the "
                                         "controller.\r\nError message: 6E"});
        QCOMPARE(lastTitle(), QString("Controller Error Message"));

        tickRow(1, false);
        click("cmdDownloadPicture");
        QCOMPARE(messages().last(),
                 QString("File has no address.\r\nPlease select a different file or check the "
                         "checkbox."));
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
