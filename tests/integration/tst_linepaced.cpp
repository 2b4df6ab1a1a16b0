#include "AppFixture.h"
#include "ControllerLink.h"
#include "PtyServer.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
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

    QString panel(int n) { return app->form->panelText(n); }
    QLineEdit* box(const char* name) { return app->find<QLineEdit>(name); }
    void chooseSpeed(qint32 bitsPerSecond)
    {
        app->server.setLineSpeed(bitsPerSecond);
        auto* speeds = app->find<QComboBox>("cmbPortSpeed");
        const int entry = speeds->findText(QString::number(bitsPerSecond));
        speeds->setCurrentIndex(entry);
        Q_EMIT speeds->activated(entry);
    }
    void setControllerType(int type)
    {
        app->controller.setIdentity({char('0' + type), "GLINTSIM", 'V', "1.00"});
    }

private Q_SLOTS:
    void init()
    {
        app = std::make_unique<AppFixture>();
        QVERIFY(app->start());
    }
    void cleanup() { app.reset(); }

    void everyTypeArrivesOnce_data()
    {
        QTest::addColumn<qint32>("speed");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("type");
        const std::pair<const char*, int> samples[] = {
            {"LCD 36x24 Power.bmp", 1},   {"LCD 64x32 Speaker.bmp", 2},
            {"OLED 64x48 Sunset.bmp", 3}, {"OLED 52x36 Clownfish.bmp", 4},
            {"MONO 96x64 Gears.bmp", 5},  {"COLOR 96x64 Rocket.bmp", 6},
        };
        for (qint32 speed : {9600, 57600, 115200}) {
            for (const auto& [file, type] : samples)
                QTest::addRow("%d %s", speed, file) << speed << QString(file) << type;
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
        setControllerType(type);
        app->click("cmdQuery");
        QCOMPARE(app->state.ControllerSetting, qint16(type));
        app->choosePicture(app->samplePath(file));
        box("txtAddress")->setText("2");
        app->click("cmdShowPicture");
        QCOMPARE(panel(4), QString("1 downloaded files"));
        QCOMPARE(app->controller.counters().picturesStored, 1);
        QVERIFY(app->controller.picture(2, qint16(type)).has_value());
    }

    void batchSendsEachPictureOnce()
    {
        chooseSpeed(9600);
        app->find<QAction>("mnuBatchPictures")->trigger();
        setControllerType(5);
        app->state.ControllerSetting = 5;
        auto* types = app->find<QComboBox>("cmbSwitchType");
        types->setCurrentIndex(4);
        Q_EMIT types->activated(4);
        app->seam.openPaths.push_back(app->samplePath("any.bmp"));
        app->click("cmdImportBatch");
        app->seam.answers = {MessageAnswer::No}; // no refresh at the end
        app->click("cmdDownloadBatch");
        QCOMPARE(panel(4), QString("2 downloaded files"));
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
        QVERIFY(
            box("txtDownloadPortStatus")->text().startsWith(" Communication port COM1 was lost: "));
        QCOMPARE(app->seam.messageTexts(),
                 QStringList{"No reply from controller.\r\nError message: no reply"});
        QCOMPARE(panel(4), QString("0 downloaded files"));
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
