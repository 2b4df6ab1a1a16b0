#include "AppFixture.h"
#include "ControllerLink.h"
#include "PtyServer.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

// The whole program through QSerialPort on a pseudo-terminal, with waits that end early: the
// device goes away, or the operator cancels.
class TestLinePaced : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;

private Q_SLOTS:
    void init()
    {
        app = AppFixture::started();
        QVERIFY(app);
    }
    void cleanup() { app.reset(); }

    // The device goes away mid-download, as a removed adapter does: the download ends, the
    // operator reads why, and the screen is ready again, without a port.
    void portVanishesMidDownload()
    {
        // At 9600 bit/s the picture takes seconds to come down the line.
        app->server.setLineSpeed(9600);
        auto* speeds = app->find<QComboBox>("cmbPortSpeed");
        Activate(speeds, speeds->findText("9600"));
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
