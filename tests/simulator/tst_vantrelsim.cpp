// vantrel-sim as a separate process: its first line is a device a QSerialPort can talk to, its
// options set the identity, it writes what the switches show, and its signals work.

#include <QFile>
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
    if (!process.waitForStarted())
        return {};
    QSignalSpy output(&process, &QProcess::readyReadStandardOutput);
    while (!process.canReadLine() && output.wait(5000)) {
    }
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

// A MONO picture in one write: its type letter fixes its length, so no pause is needed.
bool sendMonoPicture(QSerialPort& port)
{
    QByteArray picture;
    for (int i = 0; i < 768; ++i)
        picture += i % 12 == 0 ? "FF" : "00";
    port.write("(U0001" + picture);
    return readUntil(port, 'y') == "ay";
}

} // namespace

class TestVantrelSim : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void answersWithConfiguredIdentity();
    void writesWhatSwitchesShow_data();
    void writesWhatSwitchesShow();
    void vanishesOnRequest();
    void refusesBadOptions();
};

void TestVantrelSim::answersWithConfiguredIdentity()
{
    QTemporaryDir folder;
    QProcess simulator;
    const QString link = folder.filePath("glintkey");
    const QString device =
        startSimulator(simulator,
                       {"--quiet", "--setting", "3", "--name", "TESTBOX", "--version-letter", "R",
                        "--firmware", "2.5", "--link", link},
                       folder.path());
    QVERIFY(device.startsWith("/dev/"));
    QCOMPARE(QFileInfo(link).symLinkTarget(), device);
    QSerialPort port(device);
    QVERIFY(port.open(QIODevice::ReadWrite));
    port.write("&RX");
    QCOMPARE(readUntil(port, 'y'), QByteArray("a3TESTBOXR2.5y"));
    port.close();
    simulator.terminate();
    QVERIFY(simulator.waitForFinished());
    QCOMPARE(simulator.exitStatus(), QProcess::NormalExit);
    QCOMPARE(simulator.exitCode(), 0);
    QVERIFY(!QFileInfo::exists(link));
}

void TestVantrelSim::writesWhatSwitchesShow_data()
{
    QTest::addColumn<bool>("live");
    QTest::newRow("on every store, with --render-dir") << true;
    QTest::newRow("on SIGUSR1, into the working folder") << false;
}

void TestVantrelSim::writesWhatSwitchesShow()
{
    QFETCH(bool, live);
    QTemporaryDir folder;
    QStringList arguments{"--quiet", "--render-scale", "2"};
    if (live)
        arguments << "--render-dir" << folder.path();
    QProcess simulator;
    QSerialPort port(startSimulator(simulator, arguments, folder.path()));
    QVERIFY(port.open(QIODevice::ReadWrite));
    QVERIFY(sendMonoPicture(port));

    const QString file = folder.filePath("0001-mono-96x64.png");
    if (!live) {
        QVERIFY(!QFile::exists(file));
        ::kill(pid_t(simulator.processId()), SIGUSR1);
    }
    QTRY_VERIFY(QFile::exists(file));
    QImage image;
    QTRY_VERIFY(image.load(file)); // the file may still be being written
    QCOMPARE(image.size(), QSize(192, 128));
    // The first byte of every row was FF: eight lit dots on the left, dark dots beside them.
    QVERIFY(image.pixelColor(0, 0) != image.pixelColor(20, 0));
    QCOMPARE(image.pixelColor(0, 0), image.pixelColor(0, 127));
    simulator.terminate();
    QVERIFY(simulator.waitForFinished());
}

void TestVantrelSim::vanishesOnRequest()
{
    QTemporaryDir folder;
    QProcess simulator;
    const QString device = startSimulator(simulator, {"--quiet"}, folder.path());
    QSerialPort port(device);
    QVERIFY(port.open(QIODevice::ReadWrite));
    QSignalSpy errors(&port, &QSerialPort::errorOccurred);
    ::kill(pid_t(simulator.processId()), SIGUSR2);
    QVERIFY(simulator.waitForFinished());
    QTRY_VERIFY(!errors.isEmpty());
    port.close();
}

void TestVantrelSim::refusesBadOptions()
{
    QProcess simulator;
    simulator.start(QStringLiteral(VANTREL_SIM_PATH), {"--misbehave", "sulky"});
    QVERIFY(simulator.waitForFinished());
    QCOMPARE(simulator.exitCode(), 3);
    QVERIFY(simulator.readAllStandardError().contains("unknown --misbehave mode: sulky"));
}

QTEST_GUILESS_MAIN(TestVantrelSim)
#include "tst_vantrelsim.moc"
