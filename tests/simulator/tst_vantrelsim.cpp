// vantrel-sim as a separate process: its first line is a device a QSerialPort can talk to.

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class TestVantrelSim : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The options set the identity, and --link names the device. What the switches show is written
    // on every store with --render-dir, or into the working folder on SIGUSR1. SIGTERM ends the
    // program, and so does SIGUSR2 once it has made the device vanish as a removed adapter does.
    void servesThePseudoTerminal_data()
    {
        QTest::addColumn<bool>("live");
        QTest::newRow("pictures on every store, ended by SIGTERM") << true;
        QTest::newRow("pictures on SIGUSR1, ended by SIGUSR2") << false;
    }
    void servesThePseudoTerminal()
    {
        QFETCH(bool, live);
        QTemporaryDir folder;
        const QString link = folder.filePath("glintkey");
        QStringList arguments{"--quiet", "--render-scale",   "2", "--setting",  "3",   "--name",
                              "TESTBOX", "--version-letter", "R", "--firmware", "2.5", "--link",
                              link};
        if (live)
            arguments << "--render-dir" << folder.path();
        // The device path is the program's first line.
        QProcess simulator;
        simulator.setWorkingDirectory(folder.path());
        simulator.start(QStringLiteral(VANTREL_SIM_PATH), arguments);
        QSignalSpy output(&simulator, &QProcess::readyReadStandardOutput);
        while (simulator.waitForStarted() && !simulator.canReadLine() && output.wait(5000)) {
        }
        const QString device = QString::fromLocal8Bit(simulator.readLine()).trimmed();
        QCOMPARE(QFileInfo(link).symLinkTarget(), device);
        QSerialPort port(device);
        QVERIFY(port.open(QIODevice::ReadWrite));
        // The query, then a MONO picture, its type letter fixing its length: the first byte of
        // every row lit.
        port.write("&RX(U0001" + QByteArray("FF").append(22, '0').repeated(64));
        QByteArray answer;
        QTRY_COMPARE(answer += port.readAll(), QByteArray("a3TESTBOXR2.5yay"));

        const QString file = folder.filePath("0001-mono-96x64.png");
        if (!live) {
            QVERIFY(!QFileInfo::exists(file));
            ::kill(pid_t(simulator.processId()), SIGUSR1);
        }
        QImage image;
        QTRY_VERIFY(image.load(file)); // the file may not be there, or not whole, yet
        QCOMPARE(image.size(), QSize(192, 128));
        // Eight lit dots on the left of every row, dark dots beside them.
        QVERIFY(image.pixelColor(0, 0) != image.pixelColor(20, 0));
        QCOMPARE(image.pixelColor(0, 0), image.pixelColor(0, 127));

        QSignalSpy errors(&port, &QSerialPort::errorOccurred);
        ::kill(pid_t(simulator.processId()), live ? SIGTERM : SIGUSR2);
        QVERIFY(simulator.waitForFinished());
        QCOMPARE(simulator.exitStatus(), QProcess::NormalExit);
        QCOMPARE(simulator.exitCode(), 0);
        QTRY_VERIFY(!errors.isEmpty());
        QVERIFY(!QFileInfo::exists(link));
    }

    void refusesBadOptions()
    {
        QProcess simulator;
        simulator.start(QStringLiteral(VANTREL_SIM_PATH), {"--misbehave", "sulky"});
        QVERIFY(simulator.waitForFinished());
        QCOMPARE(simulator.exitCode(), 3);
        QVERIFY(simulator.readAllStandardError().contains("unknown --misbehave mode: sulky"));
    }
};

QTEST_GUILESS_MAIN(TestVantrelSim)
#include "tst_vantrelsim.moc"
