#include "AppFixture.h"
#include "QtSerialPortAdapter.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

// The program against a controller that reads at the line's own pace, through a pseudo-terminal
// that takes every write at once and reports an empty output queue, as a USB adapter hides what
// its chip still holds. Reply windows must still open only once the data has left.
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
    void expectType(int type)
    {
        app->controller.setIdentity({char('0' + type), "GLINTSIM", 'V', "1.00"});
        app->state.ControllerSetting = qint16(type);
    }
    static QList<qint32> speeds() { return {9600, 57600, 115200}; }

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
        for (qint32 speed : speeds()) {
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
        expectType(type);
        app->choosePicture(app->samplePath(file));
        box("txtAddress")->setText("2");
        app->click("cmdShowPicture");
        QCOMPARE(panel(4), QString("1 downloaded files"));
        QCOMPARE(app->controller.counters().picturesStored, 1);
        QVERIFY(app->controller.picture(2, qint16(type)).has_value());
    }

    // The query leaves "79" behind; the attribute download must wait for its own answer.
    void attributesAfterQuery_data()
    {
        QTest::addColumn<qint32>("speed");
        for (qint32 speed : speeds())
            QTest::addRow("%d", speed) << speed;
    }
    void attributesAfterQuery()
    {
        QFETCH(qint32, speed);
        chooseSpeed(speed);
        app->controller.setIdentity({'3', "GLINTSIM", 'V', "1.00"});
        app->click("cmdQuery");
        QCOMPARE(box("txtControllerSetting")->text(), QString("OLED 64x48"));
        QTimer::singleShot(0, this, [] {
            QApplication::activeModalWidget()->findChild<QPushButton*>("cmdSelect")->click();
        });
        app->click("cmdEditAttributes");
        app->click("cmdDownloadAttributes");
        QCOMPARE(panel(4), QString("Attributes downloaded"));
        QCOMPARE(app->controller.counters().attributeRecords, 1);
        QVERIFY(app->seam.messages.isEmpty());
    }

    void batchSendsEachPictureOnce()
    {
        chooseSpeed(9600);
        app->form->findChild<QAction*>(QStringLiteral("mnuBatchPictures"))->trigger();
        QWidget* screen = app->form->findChild<QWidget*>(QStringLiteral("frmBatchPicture"));
        QVERIFY(screen);
        expectType(5);
        auto* types = screen->findChild<QComboBox*>(QStringLiteral("cmbSwitchType"));
        types->setCurrentIndex(4);
        Q_EMIT types->activated(4);
        app->seam.openPaths.push_back(app->samplePath(QStringLiteral("any.bmp")));
        screen->findChild<QPushButton*>(QStringLiteral("cmdImportBatch"))->click();
        app->seam.answers = {MessageAnswer::No}; // no refresh at the end
        screen->findChild<QPushButton*>(QStringLiteral("cmdDownloadBatch"))->click();
        QCOMPARE(panel(4), QString("2 downloaded files"));
        QCOMPARE(app->controller.counters().picturesStored, 2);
        QCOMPARE(app->controller.receivedBytes().count("(U"), 2);
    }

    // A controller saying XOFF makes the system refuse writes for a while: a pause, never a lost
    // port. The bytes go out once it says XON.
    void xoffPausesWithoutLosingThePort()
    {
        const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(master >= 0);
        QVERIFY(grantpt(master) == 0 && unlockpt(master) == 0);
        termios raw{};
        tcgetattr(master, &raw);
        cfmakeraw(&raw);
        tcsetattr(master, TCSANOW, &raw);
        QtSerialPortAdapter port(QString::fromLocal8Bit(ptsname(master)));
        QSignalSpy failed(&port, &SerialPort::failed);
        QVERIFY(port.open());
        port.setFlowControl(FlowControl::XonXoff);
        const char xoff = 0x13, xon = 0x11;
        QCOMPARE(::write(master, &xoff, 1), 1);
        QTest::qWait(20);
        port.write("held back");
        QTest::qWait(100);
        QCOMPARE(failed.count(), 0);
        QVERIFY(port.isOpen());
        QCOMPARE(::write(master, &xon, 1), 1);
        QByteArray arrived;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                char buffer[64];
                const ssize_t n = ::read(master, buffer, sizeof buffer);
                if (n > 0)
                    arrived.append(buffer, n);
                return arrived == "held back";
            }(),
            2000);
        QCOMPARE(failed.count(), 0);
        port.close();
        ::close(master);
    }
};

QTEST_MAIN(TestLinePaced)
#include "tst_linepaced.moc"
