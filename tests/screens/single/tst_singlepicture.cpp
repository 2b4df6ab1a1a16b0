#include "AppFixture.h"
#include "PictureEncoding.h"
#include "frmAbout.h"
#include "frmSinglePicture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

// The single picture screen driven as the operator drives it, against the virtual controller on
// a pseudo-terminal; what reaches the controller is read back from it.
class TestSinglePicture : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;

    QComboBox* files() { return app->find<QComboBox>("cmbFileName"); }
    QString panel(int n) { return app->form->panelText(n); }
    QLineEdit* box(const char* name) { return app->find<QLineEdit>(name); }

    void tick(const char* name, bool on)
    {
        auto* check = app->find<QCheckBox>(name);
        if (check->isChecked() != on)
            check->click();
    }
    // Every message box so far, as "title: text".
    QStringList shown() const { return app->seam.shown(); }
    void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private Q_SLOTS:
    void init()
    {
        app = std::make_unique<AppFixture>();
        QVERIFY(app->start());
    }
    void cleanup() { app.reset(); }

    void startsWithKoala()
    {
        QCOMPARE(files()->count(), 2);
        QCOMPARE(files()->itemText(0), QString("Import bmp"));
        QCOMPARE(files()->currentText(), app->samplePath("Koala.bmp"));
        QCOMPARE(box("txtFileTitle")->text(), QString("Koala.bmp"));
        QCOMPARE(box("txtFileSize")->text(), QString("9272"));
        QCOMPARE(box("txtSwitchType")->text(), QString("OLED 64x48"));
        QVERIFY(!app->find<QLabel>("picHolder")->pixmap().isNull());
        QCOMPARE(app->find<QLabel>("lblVersion")->text(), QString("Version 1.7.3"));
    }

    void downloadsEverySample_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("typeText");
        QTest::addColumn<bool>("identifier");
        QTest::newRow("LCD 36x24") << "LCD 36x24 Power.bmp" << 1 << "LCD 36x24" << true;
        QTest::newRow("LCD 64x32") << "LCD 64x32 Speaker.bmp" << 2 << "LCD 64x32" << false;
        QTest::newRow("OLED 64x48") << "OLED 64x48 Sunset.bmp" << 3 << "OLED 64x48" << true;
        QTest::newRow("OLED 52x36") << "OLED 52x36 Clownfish.bmp" << 4 << "OLED 52x36" << false;
        QTest::newRow("MONO 830") << "MONO 96x64 Gears.bmp" << 5 << "MONO 96x64" << false;
        QTest::newRow("MONO 832") << "MONO 96x64 Bell.bmp" << 5 << "MONO 96x64" << true;
        QTest::newRow("COLOR 18488") << "COLOR 96x64 Rocket.bmp" << 6 << "COLOR 96x64" << true;
    }
    void downloadsEverySample()
    {
        QFETCH(QString, file);
        QFETCH(int, type);
        QFETCH(QString, typeText);
        QFETCH(bool, identifier);
        // A controller set up for this type needs no letter to know what arrives.
        app->controller.setIdentity({char('0' + type), "GLINTSIM", 'V', "1.00"});
        app->state.ControllerSetting = qint16(type);
        app->choosePicture(app->samplePath(file));
        QCOMPARE(box("txtSwitchType")->text(), typeText);
        QCOMPARE(box("txtAddress")->text(), type <= 2 ? QString("01") : QString("0001"));
        box("txtAddress")->setText("2");
        tick("chkSwitchIdentifier", identifier);
        app->click("cmdShowPicture");
        QCOMPARE(shown(), QStringList());
        QCOMPARE(panel(4), QString("1 downloaded files"));
        QCOMPARE(box("txtAddress")->text(), type <= 2 ? QString("02") : QString("0002"));

        // The encoders themselves are checked byte by byte with the imaging tests.
        const auto stored = app->controller.picture(2, qint16(type));
        QVERIFY(stored);
        QCOMPARE(
            QString::fromLatin1(stored->payload.toHex().toUpper()),
            EncodeDownloadBlock(app->find<frmSinglePicture>("frmSinglePicture")->records().last(),
                                app->state, app->seam));
    }

    void mismatchAsksFirst()
    {
        app->state.ControllerSetting = 2;
        app->seam.answers = {MessageAnswer::No};
        app->click("cmdShowPicture");
        QCOMPARE(app->seam.messages.size(), 1);
        QCOMPARE(app->seam.messages[0].title, QString("Download Picture Message"));
        QCOMPARE(app->controller.counters().picturesStored, 0);
        // Not checking replies: no question.
        tick("chkController", false);
        app->click("cmdShowPicture");
        QCOMPARE(app->seam.messages.size(), 1);
    }

    void lengthGate_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("message");
        QTest::newRow("256 bytes")
            << 256
            << "Image is 256 bytes in size. For 36x24 it should be 254 bytes.\rImage may not "
               "load properly.\rFile Size: 256";
        QTest::newRow("18486 colour") << 18486
                                      << "Invalid image attributes.\rImage may not load "
                                         "properly.\rFile Size: 18486";
        QTest::newRow("other length") << 1000
                                      << "Invalid image attributes.\rImage may not load "
                                         "properly.\rFile Size: 1000";
    }
    void lengthGate()
    {
        QFETCH(int, length);
        QFETCH(QString, message);
        const QString path = app->samplePath(QStringLiteral("odd %1.bmp").arg(length));
        writeFile(path, QByteArray(length, 'x'));
        app->choosePicture(path);
        QCOMPARE(shown(), QStringList{"Vantrel: " + message});
        QCOMPARE(app->state.TypeCode, qint16(3)); // the previous type stays in force
        QCOMPARE(box("txtSwitchType")->text().isEmpty(), length != 256);
    }

    void importingTwiceAddsOnce()
    {
        const QString path = app->samplePath("MONO 96x64 Gears.bmp");
        app->choosePicture(path);
        app->choosePicture(path);
        QCOMPARE(files()->count(), 3);
        QCOMPARE(files()->currentIndex(), 2);
        app->seam.openPaths.push_back(QString()); // a cancelled dialog changes nothing
        files()->setCurrentIndex(0);
        Q_EMIT files()->activated(0);
        QCOMPARE(files()->currentText(), path);
    }

    void invalidAddressIsRefused()
    {
        box("txtAddress")->setText("0G");
        app->click("cmdShowPicture");
        QCOMPARE(shown(), QStringList{"Input Data Message: Data must be in Hex format."});
        QCOMPARE(box("txtAddress")->text(), QString("000G"));
        QCOMPARE(app->controller.counters().picturesStored, 0);
    }

    void clearsEachKind_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("LCD through a blank picture")
            << "LCD 64x32 Speaker.bmp" << 2 << QByteArray("(01") + QByteArray(512, '0');
        QTest::newRow("OLED through the clear command")
            << "OLED 52x36 Clownfish.bmp" << 4 << QByteArray("'C00010000");
    }
    void clearsEachKind()
    {
        QFETCH(QString, file);
        QFETCH(int, type);
        QFETCH(QByteArray, wire);
        app->controller.setIdentity({char('0' + type), "GLINTSIM", 'V', "1.00"});
        app->state.ControllerSetting = qint16(type);
        app->choosePicture(app->samplePath(file));
        app->click("cmdClear");
        QVERIFY(app->controller.receivedBytes().endsWith(wire));
        QCOMPARE(panel(2), type <= 2 ? QString("Address 01 Clear") : QString("Address 0001 Clear"));
    }

    void refusingControllerShowsError()
    {
        app->controller.setMisbehaviour(Misbehaviour::RefuseAll);
        app->state.ControllerSetting = 3;
        app->click("cmdShowPicture");
        QCOMPARE(shown(), QStringList{"Controller Error Message: An error message has been "
                                      "received from the controller.\r\nError message: 6E"});
        QCOMPARE(panel(4), QString("0 downloaded files"));
        QVERIFY(!app->state.BusyFlag);
    }

    void silentControllerSaysSoInStatusBar()
    {
        app->controller.setMisbehaviour(Misbehaviour::Silent);
        app->state.ControllerSetting = 3;
        app->click("cmdShowPicture");
        QCOMPARE(shown(), QStringList());
        QCOMPARE(panel(4), QString("No controller reply"));
        QVERIFY(app->find<QWidget>("famPicture")->isEnabled());
    }

    void cancelDuringLongDownload()
    {
        app->server.setLineSpeed(9600); // about 25 s for the whole picture: Cancel comes first
        app->state.ControllerSetting = 6;
        app->choosePicture(app->samplePath("COLOR 96x64 Rocket.bmp"));
        auto* cancel =
            app->find<frmSinglePicture>("frmSinglePicture")->findChild<QPushButton*>("cmdCancel");
        QTimer::singleShot(300, cancel, [cancel] {
            QVERIFY(!cancel->parentWidget()->findChild<QWidget*>("famPicture")->isEnabled());
            QCOMPARE(cancel->palette().color(QPalette::Button), QColor(Qt::white));
            cancel->click();
        });
        app->click("cmdShowPicture");
        QCOMPARE(panel(2), QString("Download Canceled"));
        QVERIFY(!app->state.BusyFlag);
        QVERIFY(!app->controller.picture(1, 6).has_value());
        QVERIFY(cancel->palette().color(QPalette::Button) != QColor(Qt::white));
        cancel->click(); // idle: does nothing
        QVERIFY(!app->state.CancelFlag);
    }

    void controllerTools()
    {
        app->click("cmdCall");
        QCOMPARE(panel(4), QString("Command received"));
        app->click("cmdReset");
        QTRY_COMPARE(app->controller.counters().resets, 1);
        // Reset waits for no answer; the query starts once that answer is in, or it would be
        // read as part of the query's reply.
        QTRY_COMPARE(app->state.ReceivedByteCount, 4);
        app->click("cmdQuery");
        QCOMPARE(box("txtController")->text(), QString("GLINTSIM"));
        QCOMPARE(box("txtFirmwareVersion")->text(), QString("1.00"));
        QCOMPARE(box("txtControllerSetting")->text(), QString("All Switches"));
    }

    void hiddenLedTester()
    {
        auto* screen = app->find<QWidget>("frmSinglePicture");
        auto* tester = app->find<QWidget>("famBicolorTest");
        QVERIFY(tester->isHidden());
        const QPoint inside = tester->geometry().center();
        QTest::mouseClick(screen, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, inside);
        QVERIFY(tester->isHidden());
        QTest::mouseClick(screen, Qt::LeftButton,
                          Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier, inside);
        QVERIFY(tester->isVisible());
        QList<QPushButton*> buttons;
        for (int i = 0; i < 7; ++i)
            buttons << tester->findChild<QPushButton*>(QStringLiteral("cmdLEDs_%1").arg(i));
        QVERIFY(!buttons.contains(nullptr));
        buttons[1]->click(); // "G"
        QTRY_VERIFY(app->controller.receivedBytes().endsWith("&CX"));
        buttons[6]->click(); // "Reset"
        QTRY_VERIFY(app->controller.receivedBytes().endsWith(QByteArray("&O\x1B$")));
        QCOMPARE(QApplication::focusWidget(), buttons[0]);
        QTest::mouseClick(screen, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        QVERIFY(tester->isHidden());
    }

    void attributesDownload()
    {
        app->state.ControllerSetting = 3;
        // The record gets its attributes from the editor, accepted as they stand.
        QTimer::singleShot(0, this, [this] {
            app->find<QDialog>("frmBackgroundOLED")->findChild<QPushButton*>("cmdSelect")->click();
        });
        app->click("cmdEditAttributes");
        QCOMPARE(app->find<frmSinglePicture>("frmSinglePicture")->records().at(1).Attributes.size(),
                 16);
        app->click("cmdDownloadAttributes");
        QCOMPARE(panel(4), QString("Attributes downloaded"));
        QVERIFY(app->controller.attributeRecord(1).has_value());
        app->controller.setMisbehaviour(Misbehaviour::RefuseAll);
        app->click("cmdDownloadAttributes");
        QCOMPARE(app->seam.messages.last().title, QString("Controller Error Message"));
    }

    void rawDataFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("panels");
        const QByteArray file("RAW DATA\r\n0102\r\nA\r\n");
        QTest::newRow("characters") << file << "cmbCharacter" << QByteArray("\x01\x02\x0A")
                                    << QStringList() << "1 downloaded files|";
        QTest::newRow("hex") << file << "cmbHex" << QByteArray("0102A") << QStringList()
                             << "1 downloaded files|";
        QTest::newRow("header not upper case")
            << QByteArray("raw data\r\n0102\r\n") << "cmbHex" << QByteArray()
            << QStringList{"Downloading Error: File does not contain correct header."}
            << "0 downloaded files|Error while downloading";
    }
    // `panels`: status panels 4 and 5 after the download, joined by "|".
    void rawDataFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, choice);
        QFETCH(QByteArray, received);
        QFETCH(QStringList, messages);
        QFETCH(QString, panels);
        const QString path = app->samplePath("data.txt");
        writeFile(path, content);
        app->seam.openPaths.push_back(path);
        QTimer::singleShot(0, this, [this, choice] { app->find<QPushButton>(choice)->click(); });
        app->click("cmdDownloadTextFile");
        QCOMPARE(app->controller.rawText(), received);
        QCOMPARE(shown(), messages);
        QCOMPARE(panel(4) + QLatin1Char('|') + panel(5), panels);
    }

    void aboutBox_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("found") << "/usr/bin/sysinfo" << QStringList{};
        QTest::newRow("none") << ""
                              << QStringList{"System Information Is Unavailable At This Time"};
    }
    void aboutBox()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, shown);
        frmAbout about(app->seam, nullptr, [program] { return program; });
        QCOMPARE(about.windowTitle(), QString("About Vantrel"));
        QCOMPARE(about.findChild<QLabel*>("lblVersion")->text(), QString("Version 1.7.3"));
        about.findChild<QPushButton*>("cmdSysInfo")->click();
        QCOMPARE(app->seam.messageTexts(), shown);
        QCOMPARE(app->seam.started.size(), program.isEmpty() ? 0 : 1);
    }
};

QTEST_MAIN(TestSinglePicture)
#include "tst_singlepicture.moc"
