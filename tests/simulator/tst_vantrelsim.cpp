// vantrel-sim as a separate process: its first line is a device a QSerialPort can talk to, its
// options set the identity, it writes what the switches show, and its signals work.

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

QByteArray readUntil(QSerialPort& port, char last)
{
    QByteArray received = port.readAll();
    QSignalSpy ready(&port, &QSerialPort::readyRead);
    while (!received.endsWith(last) && ready.wait(2000))
        received += port.readAll();
    return received;
}

// Starts the program and returns the device path it prints first.
QString startSimulator(QProcess& process, const QStringList& arguments, const QString& folder)
{
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(VANTREL_SIM_PATH), arguments);
    QSignalSpy output(&process, &QProcess::readyReadStandardOutput);
    while (process.waitForStarted() && !process.canReadLine() && output.wait(5000)) {
    }
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

} // namespace

class TestVantrelSim : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void answersWithIdentityAndVanishes()
    {
        QTemporaryDir folder;
        QProcess simulator;
        const QString link = folder.filePath("glintkey");
        const QString device =
            startSimulator(simulator,
                           {"--quiet", "--setting", "3", "--name", "TESTBOX", "--version-letter",
                            "R", "--firmware", "2.5", "--link", link},
                           folder.path());
        QVERIFY(device.startsWith("/dev/"));
        QCOMPARE(QFileInfo(link).symLinkTarget(), device);
        QSerialPort port(device);
        QVERIFY(port.open(QIODevice::ReadWrite));
        port.write("&RX");
        QCOMPARE(readUntil(port, 'y'), QByteArray("a3TESTBOXR2.5y"));

        QSignalSpy errors(&port, &QSerialPort::errorOccurred);
        ::kill(pid_t(simulator.processId()), SIGUSR2);
        QVERIFY(simulator.waitForFinished());
        QTRY_VERIFY(!errors.isEmpty());
        QVERIFY(!QFileInfo::exists(link));
    }

    void writesWhatSwitchesShow_data()
    {
        QTest::addColumn<bool>("live");
        QTest::newRow("on every store, with --render-dir") << true;
        QTest::newRow("on SIGUSR1, into the working folder") << false;
    }
    void writesWhatSwitchesShow()
    {
        QFETCH(bool, live);
        QTemporaryDir folder;
        QStringList arguments{"--quiet", "--render-scale", "2"};
        if (live)
            arguments << "--render-dir" << folder.path();
        QProcess simulator;
        QSerialPort port(startSimulator(simulator, arguments, folder.path()));
        QVERIFY(port.open(QIODevice::ReadWrite));
        // A MONO picture in one write, its type letter fixing its length: the first byte of every
        // row lit.
        port.write("(U0001" + QByteArray("FF").append(22, '0').repeated(64));
        QCOMPARE(readUntil(port, 'y'), QByteArray("ay"));

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
        simulator.terminate();
        QVERIFY(simulator.waitForFinished());
        QCOMPARE(simulator.exitStatus(), QProcess::NormalExit);
        QCOMPARE(simulator.exitCode(), 0);
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
