#include "AppFixture.h"
#include "Decoders.h"
#include "SwitchPreview.h"
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
    // Every message box since the last look, as "title: text".
    QStringList shown() { return app->seam.takeShown(); }

private Q_SLOTS:
    void init() { QVERIFY(app = AppFixture::started()); }
    void cleanup() { app.reset(); }

    // From the Koala sample on, each sample is imported, sent to a controller set up for its type
    // (no letter needed) and, for an LCD and an OLED type, cleared; imported again it is listed
    // once, and a cancelled dialog changes nothing. "As the switch shows it" follows "L to R" and
    // the picture chosen at once.
    void everySampleDownloads()
    {
        QCOMPARE(files()->itemText(0), QString("Import bmp"));
        QCOMPARE(box("txtFileTitle")->text(), QString("Koala.bmp"));
        QCOMPARE(box("txtFileSize")->text(), QString("9272"));
        QVERIFY(!app->find<QLabel>("picHolder")->pixmap().isNull());
        auto* preview = app->find<SwitchPreview>("picSwitchPreview");
        const QImage koala = preview->picture();
        QCOMPARE(koala.size(), QSize(64, 48));
        tick("chkLtoR", false);
        QCOMPARE(preview->picture(), koala.mirrored(true, false));
        tick("chkLtoR", true);

        const QStringList samples{"LCD 36x24 Power.bmp",   "LCD 64x32 Speaker.bmp",
                                  "OLED 64x48 Sunset.bmp", "OLED 52x36 Clownfish.bmp",
                                  "MONO 96x64 Gears.bmp",  "MONO 96x64 Bell.bmp", // 830, 832
                                  "COLOR 96x64 Rocket.bmp"};
        const QList<int> types{1, 2, 3, 4, 5, 5, 6};
        for (int i = 0; i < samples.size(); ++i) {
            const int type = types[i];
            const auto address = [type](int n) {
                return QStringLiteral("%1").arg(n, type <= 2 ? 2 : 4, 10, QLatin1Char('0'));
            };
            app->setUpController(type);
            app->choosePicture(app->samplePath(samples[i]));
            QCOMPARE(box("txtSwitchType")->text(), samples[i].section(QLatin1Char(' '), 0, 1));
            QCOMPARE(preview->picture().size(), DisplaySize(qint16(type)));
            QCOMPARE(box("txtAddress")->text(), address(1));
            box("txtAddress")->setText("2");
            tick("chkSwitchIdentifier", i % 2 == 0);
            app->click("cmdShowPicture");
            QCOMPARE(panel(4), QString("1 downloaded files"));
            QCOMPARE(box("txtAddress")->text(), address(2));
            // The bytes themselves are checked with the imaging and link tests.
            QVERIFY(app->controller.picture(2, qint16(type)).has_value());
            if (type == 2 || type == 4) { // LCD through a blank picture, OLED by the clear command
                app->click("cmdClear");
                QVERIFY(app->controller.receivedBytes().endsWith(
                    type == 2 ? QByteArray("(02") + QByteArray(512, '0')
                              : QByteArray("'C00020000")));
                QCOMPARE(panel(2), QStringLiteral("Address %1 Clear").arg(address(2)));
            }
        }
        app->choosePicture(app->samplePath(samples.first()));
        QCOMPARE(files()->count(), samples.size() + 2);
        QCOMPARE(box("txtSwitchType")->text(), QString("LCD 36x24"));
        app->choosePicture(QString());
        QCOMPARE(files()->currentText(), app->samplePath(samples.first()));

        // Files of no type's length are flagged, and the previous type stays in force.
        const QString invalid =
            QStringLiteral("Vantrel: Invalid image attributes.\rImage may not load properly.\r"
                           "File Size: %1");
        for (const int length : {256, 18486, 1000}) {
            const QString path = app->samplePath(QStringLiteral("odd %1.bmp").arg(length));
            QVERIFY(WriteFile(path, QByteArray(length, 'x')));
            app->choosePicture(path);
            QCOMPARE(app->state.TypeCode, qint16(1));
            QCOMPARE(box("txtSwitchType")->text().isEmpty(), length != 256);
        }
        QCOMPARE(shown(),
                 (QStringList{"Vantrel: Image is 256 bytes in size. For 36x24 it should "
                              "be 254 bytes.\rImage may not load properly.\rFile Size: 256",
                              invalid.arg(18486), invalid.arg(1000)}));
    }

    // What stops a download: a wrong address, a type the controller is not set up for (asked
    // only while replies are checked), and Cancel.
    void stoppedDownloads()
    {
        box("txtAddress")->setText("0G");
        app->click("cmdShowPicture");
        QCOMPARE(shown(), QStringList{"Input Data Message: Data must be in Hex format."});
        QCOMPARE(box("txtAddress")->text(), QString("000G"));
        box("txtAddress")->setText("0001");
        app->state.ControllerSetting = 2;
        app->seam.answers = {MessageAnswer::No};
        app->click("cmdShowPicture");
        QCOMPARE(app->seam.takeMessages().at(0).title, QString("Download Picture Message"));
        QCOMPARE(app->controller.counters().picturesStored, 0);
        tick("chkController", false);
        app->click("cmdShowPicture");
        QCOMPARE(shown(), QStringList());
        // Unchecked replies are not waited for: the controller may still be reading.
        QTRY_COMPARE(app->controller.counters().picturesStored, 1);
        tick("chkController", true);

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

    // "Other device..." takes any device by its path: a second controller's pseudo-terminal is
    // listed, opened and answers the query while the first hears nothing; a missing or unusable
    // device, or a cancelled question, leaves the port in use as it was.
    void otherDevice_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("messageStart");
        const QString missing = "/dev/vantrel-no-such-device";
        QTest::newRow("second controller") << "second controller" << QString();
        QTest::newRow("missing") << missing << "Other Device: There is no device " + missing + ".";
        QTest::newRow("not a serial device")
            << "Koala.bmp"
            << "Other Device: The device %1 cannot be opened as a serial port.\r\n";
        QTest::newRow("cancelled") << QString() << QString();
    }
    void otherDevice()
    {
        QFETCH(QString, answer);
        QFETCH(QString, messageStart);
        VirtualController second;
        PtyServer secondServer(second);
        QVERIFY(secondServer.start());
        const bool attaches = answer == "second controller";
        if (attaches)
            answer = secondServer.devicePath();
        else if (answer == "Koala.bmp")
            answer = app->samplePath(answer);
        app->seam.texts = {answer};
        auto* ports = app->find<QComboBox>("cmbCommPort");
        const int otherEntry = ports->count() - 1;
        Activate(ports, otherEntry);

        const QString said = shown().join("\n");
        QVERIFY2(messageStart.isEmpty()
                     ? said.isEmpty()
                     : said.startsWith(QString(messageStart).replace("%1", answer)),
                 qPrintable(said));
        QCOMPARE(app->state.RequestedPort, qint16(attaches ? 2 : 1));
        QCOMPARE(ports->count(), attaches ? 3 : 2);
        QCOMPARE(ports->currentText(),
                 attaches ? "2  " + answer + "  chosen by the operator"
                          : "1  " + app->server.devicePath() + "  virtual controller");
        QCOMPARE(box("txtDownloadPortStatus")->text(),
                 QString(" Communication port COM%1 is open.").arg(attaches ? 2 : 1));
        if (attaches) {
            app->click("cmdQuery");
            QCOMPARE(box("txtController")->text(), QString("GLINTSIM"));
            QVERIFY(app->controller.receivedBytes().isEmpty());
        }
    }

    // Call, reset and query; the LED tester that Ctrl+Shift+Alt+click shows; attributes from
    // the editor sent on their own; raw data files; the About box.
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

        auto* screen = app->find<QWidget>("frmSinglePicture");
        auto* tester = app->find<QWidget>("famBicolorTest");
        const QPoint inside = tester->geometry().center();
        QTest::mouseClick(screen, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, inside);
        QVERIFY(tester->isHidden());
        QTest::mouseClick(screen, Qt::LeftButton,
                          Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier, inside);
        QVERIFY(tester->isVisible());
        app->find<QPushButton>("cmdLEDs_1")->click(); // "G"
        QTRY_VERIFY(app->controller.receivedBytes().endsWith("&CX"));
        app->find<QPushButton>("cmdLEDs_6")->click(); // "Reset"
        QTRY_VERIFY(app->controller.receivedBytes().endsWith(QByteArray("&O\x1B$")));
        QCOMPARE(QApplication::focusWidget(), app->find<QPushButton>("cmdLEDs_0"));
        QTest::mouseClick(screen, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        QVERIFY(tester->isHidden());

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

        // A raw data file goes as characters or as hex digits, as the operator picks; only an
        // upper-case header makes one.
        const QString path = app->samplePath("data.txt");
        const auto sendRaw = [&](const QByteArray& content, const char* choice) {
            QVERIFY(WriteFile(path, content));
            app->seam.openPaths.push_back(path);
            QTimer::singleShot(0, this,
                               [this, choice] { app->find<QPushButton>(choice)->click(); });
            app->click("cmdDownloadTextFile");
        };
        sendRaw("RAW DATA\r\n0102\r\nA\r\n", "cmbCharacter");
        sendRaw("RAW DATA\r\n0102\r\nA\r\n", "cmbHex");
        QCOMPARE(app->controller.rawText(), QByteArray("\x01\x02\x0A"
                                                       "0102A"));
        QCOMPARE(panel(4), QString("1 downloaded files"));
        sendRaw("raw data\r\n0102\r\n", "cmbHex");
        QCOMPARE(panel(4) + '|' + panel(5), QString("0 downloaded files|Error while downloading"));

        app->controller.setMisbehaviour(Misbehaviour::RefuseAll);
        app->click("cmdDownloadAttributes");
        QCOMPARE(shown(), (QStringList{"Downloading Error: File does not contain correct header.",
                                       "Controller Error Message: An error message has been "
                                       "received from the controller.\r\nError message: 6E"}));

        // The About box's system information starts its program, or says it has none.
        QString program;
        frmAbout about(app->seam, nullptr, [&program] { return program; });
        QCOMPARE(about.windowTitle(), QString("About Vantrel"));
        QCOMPARE(about.findChild<QLabel*>("lblVersion")->text(), QString("Version 1.7.3"));
        about.findChild<QPushButton*>("cmdSysInfo")->click();
        program = QStringLiteral("/usr/bin/sysinfo");
        about.findChild<QPushButton*>("cmdSysInfo")->click();
        QCOMPARE(shown(), QStringList{": System Information Is Unavailable At This Time"});
        QCOMPARE(app->seam.started, QStringList{"/usr/bin/sysinfo "});
    }

    // Quit during a download asks first: No lets the download run on, Yes stops it and ends the
    // program. Last of all: the program's end stops every event loop the process starts later.
    void quitDuringDownload()
    {
        app->server.setLineSpeed(9600); // about 25 s for the whole picture
        app->state.ControllerSetting = 6;
        app->choosePicture(app->samplePath("COLOR 96x64 Rocket.bmp"));
        const auto pressQuit = [this](MessageAnswer answer) {
            app->seam.answers = {answer};
            QTest::mousePress(app->find<QPushButton>("cmbQuit"), Qt::LeftButton);
        };
        qsizetype receivedAtNo = 0;
        QTimer::singleShot(300, this, [&] {
            pressQuit(MessageAnswer::No);
            QVERIFY(app->form->isVisible());
            receivedAtNo = app->controller.receivedBytes().size();
            QTimer::singleShot(300, this, [&] {
                QVERIFY(app->controller.receivedBytes().size() > receivedAtNo);
                pressQuit(MessageAnswer::Yes);
            });
        });
        app->click("cmdShowPicture");
        const QString question =
            "Quit: A transfer to the controller is running.\r\nStop it and quit?";
        QCOMPARE(shown(), QStringList({question, question}));
        QVERIFY(receivedAtNo > 0);
        QVERIFY(!app->form->isVisible());
        QVERIFY(!app->controller.picture(1, 6).has_value());
    }
};

QTEST_MAIN(TestSinglePicture)
#include "tst_singlepicture.moc"
