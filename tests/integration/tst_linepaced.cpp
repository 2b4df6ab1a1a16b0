#include "AppFixture.h"
#include "ControllerLink.h"
#include "PtyServer.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

// The whole program through QSerialPort on a pseudo-terminal. Mostly against a controller that
// reads at the line's own pace, while the pseudo-terminal takes every write at once and reports
// an empty output queue, as a USB adapter hides what its chip still holds: reply windows must
// still open only once the data has left. Then waits that end early: the device goes away, or the
// operator cancels.
class TestLinePaced : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;

    void chooseSpeed(qint32 bitsPerSecond)
    {
        app->server.setLineSpeed(bitsPerSecond);
        auto* speeds = app->find<QComboBox>("cmbPortSpeed");
        Activate(speeds, speeds->findText(QString::number(bitsPerSecond)));
    }

private Q_SLOTS:
    void init()
    {
        app = AppFixture::started();
        QVERIFY(app);
    }
    void cleanup() { app.reset(); }

    // Each type's picture, then the attribute record its editor makes, with the first field typed
    // in and the others as they stand: the record's digits as the controller stores them.
    void everyTypeArrivesOnce_data()
    {
        QTest::addColumn<qint32>("speed");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("record");
        const QByteArray oled = "00A5" + QByteArray(12, '0');
        const std::tuple<const char*, int, QByteArray> samples[] = {
            {"LCD 36x24 Power.bmp", 1, "A50000000000"},       // two switches: six attributes
            {"LCD 64x32 Speaker.bmp", 2, "A500000000000303"}, // then the LED on and off codes
            {"OLED 64x48 Sunset.bmp", 3, oled},
            {"OLED 52x36 Clownfish.bmp", 4, oled},
            {"MONO 96x64 Gears.bmp", 5, "00A5" + QByteArray(24, '0')},
            {"COLOR 96x64 Rocket.bmp", 6, oled},
        };
        for (qint32 speed : {9600, 57600, 115200}) {
            for (const auto& [file, type, record] : samples)
                QTest::addRow("%d %s", speed, file) << speed << QString(file) << type << record;
        }
    }
    void everyTypeArrivesOnce()
    {
        QFETCH(qint32, speed);
        QFETCH(QString, file);
        QFETCH(int, type);
        chooseSpeed(speed);
        // As the operator works: the program learns the controller's setting from its query, over
        // the same paced line, and the query's "79" must not end the picture's own wait.
        app->controller.setIdentity({char('0' + type), "GLINTSIM", 'V', "1.00"});
        app->click("cmdQuery");
        QCOMPARE(app->state.ControllerSetting, qint16(type));
        app->choosePicture(app->samplePath(file));
        app->find<QLineEdit>("txtAddress")->setText("2");
        app->click("cmdShowPicture");
        QCOMPARE(app->form->panelText(4), QString("1 downloaded files"));
        QCOMPARE(app->controller.counters().picturesStored, 1);
        QVERIFY(app->controller.picture(2, qint16(type)).has_value());

        QTimer::singleShot(0, this, [] {
            QWidget* editor = QApplication::activeModalWidget();
            QVERIFY(editor);
            auto* field = Child<QLineEdit>(editor, "txtAttributes_0");
            field->selectAll(); // as the focus does, so typing replaces the value
            QTest::keyClicks(field, "A5");
            Child<QPushButton>(editor, "cmdSelect")->click();
        });
        app->click("cmdEditAttributes");
        app->click("cmdDownloadAttributes");
        QCOMPARE(app->form->panelText(4), QString("Attributes downloaded"));
        const std::optional<AttributeRecord> stored = app->controller.attributeRecord(2);
        QVERIFY(stored);
        QTEST(stored->digits, "record");
    }

    // The batch waits for each picture's answer after the line, so no picture is sent twice.
    void batchSendsEachPictureOnce()
    {
        chooseSpeed(9600);
        app->open("mnuBatchPictures");
        app->setUpController(SwitchTypeCode::Mono96x64);
        app->importBatch(SwitchTypeCode::Mono96x64, app->samplePath("any.bmp"));
        app->seam.answers = {MessageAnswer::No}; // no refresh at the end
        app->click("cmdDownloadBatch");
        QCOMPARE(app->form->panelText(4), QString("2 downloaded files"));
        QCOMPARE(app->controller.counters().picturesStored, 2);
        QCOMPARE(app->controller.receivedBytes().count("(U"), 2);
    }

    // The device goes away mid-download, as a removed adapter does: the download ends, the
    // operator reads why, and the screen is ready again, without a port.
    void portVanishesMidDownload()
    {
        chooseSpeed(9600); // the picture takes seconds to come down the line
        app->state.ControllerSetting = 6;
        app->choosePicture(app->samplePath("COLOR 96x64 Rocket.bmp"));
        QTimer::singleShot(300, &app->server, &PtyServer::vanish);
        app->click("cmdShowPicture");
        const QString status = app->find<QLineEdit>("txtDownloadPortStatus")->text();
        QVERIFY2(status.startsWith(" Communication port COM1 was lost: "), qPrintable(status));
        QCOMPARE(app->seam.takeShown(), QStringList{"Controller Error Message: No reply from "
                                                    "controller.\r\nError message: no reply"});
        QCOMPARE(app->form->panelText(4), QString("0 downloaded files"));
        QVERIFY(!app->state.BusyFlag);
        QVERIFY(!app->state.DataPhase);
        QVERIFY(app->find<QWidget>("famPicture")->isEnabled());
        QVERIFY(!app->form->link().isPortOpen());
        QVERIFY(app->controller.pictures().isEmpty());
    }

    // Cancel ends a reply wait, and a missing reply is not recorded.
    void cancelEndsTheWait()
    {
        app->controller.setMisbehaviour(Misbehaviour::Silent);
        ControllerLink& link = app->form->link();
        link.SendHexCommand("01");
        QTimer::singleShot(10, &link, &ControllerLink::requestCancel);
        QVERIFY(!link.WaitForReply());
        QVERIFY(app->state.ReplyCode.isEmpty());
    }
};

QTEST_MAIN(TestLinePaced)
#include "tst_linepaced.moc"
