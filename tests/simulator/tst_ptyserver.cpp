// The pseudo-terminal server with a real QSerialPort on the device side: a round trip, a paced
// picture transfer, XOFF really pausing the serial port, and a vanishing device.

#include "ControllerScript.h"
#include "PtyServer.h"

#include <QFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

namespace {

QByteArray readUntil(QSerialPort& port, char last)
{
    QByteArray received = port.readAll();
    QSignalSpy ready(&port, &QSerialPort::readyRead);
    while (!received.endsWith(last) && ready.wait(2000))
        received += port.readAll();
    return received;
}

// Two characters per write, each handed to the system before the next, as the program sends.
bool writeInPieces(QSerialPort& port, const QByteArray& data)
{
    QSignalSpy written(&port, &QSerialPort::bytesWritten);
    for (qsizetype i = 0; i < data.size(); i += 2) {
        port.write(data.mid(i, 2));
        while (port.bytesToWrite() > 0)
            if (!written.wait(5000))
                return false;
    }
    return true;
}

} // namespace

class TestPtyServer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void queryRoundTrip();
    void pictureTransfer();
    void xoffPausesSerialPort();
    void vanishGivesPortError();

private:
    std::unique_ptr<VirtualController> m_controller;
    std::unique_ptr<PtyServer> m_server;
    std::unique_ptr<QSerialPort> m_port;
};

void TestPtyServer::init()
{
    m_controller = std::make_unique<VirtualController>();
    m_server = std::make_unique<PtyServer>(*m_controller);
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
    QVERIFY(QFile::exists(m_server->devicePath()));
    m_port = std::make_unique<QSerialPort>(m_server->devicePath());
    m_port->setBaudRate(115200);
    QVERIFY2(m_port->open(QIODevice::ReadWrite), qPrintable(m_port->errorString()));
}

void TestPtyServer::cleanup()
{
    m_port.reset();
    m_server.reset();
    m_controller.reset();
}

void TestPtyServer::queryRoundTrip()
{
    m_port->write("&RX");
    QCOMPARE(readUntil(*m_port, 'y'), QByteArray("a7GLINTSIMV1.00y"));
    QCOMPARE(m_controller->receivedBytes(), QByteArray("&RX"));
}

void TestPtyServer::pictureTransfer()
{
    const QByteArray payload = samplePayload(12288, 6);
    m_port->write("(V0042");
    QCOMPARE(readUntil(*m_port, 'a'), QByteArray("a"));
    QVERIFY(writeInPieces(*m_port, payload.toHex().toUpper()));
    QCOMPARE(readUntil(*m_port, 'y'), QByteArray("y"));
    QCOMPARE(m_controller->picture(0x42, 6)->payload, payload);
}

void TestPtyServer::xoffPausesSerialPort()
{
    // A small, slow input: if the tty did not stop the serial port on XOFF, characters would
    // arrive while it is full and be lost.
    m_controller->setTextInput(16, 200);
    QVERIFY(m_port->setFlowControl(QSerialPort::SoftwareControl));
    const QByteArray text = QByteArray("RAW TEXT STREAMED WITH XON AND XOFF ").repeated(2);
    QVERIFY(writeInPieces(*m_port, text));
    QCOMPARE(readUntil(*m_port, 'y'), QByteArray("y")); // XON and XOFF were the tty's own
    QVERIFY(m_controller->counters().xoffSent >= 2);
    QCOMPARE(m_controller->counters().textCharsLost, 0);
    QCOMPARE(m_controller->rawText(), text);
    QCOMPARE(m_port->error(), QSerialPort::NoError);
}

void TestPtyServer::vanishGivesPortError()
{
    QSignalSpy errors(m_port.get(), &QSerialPort::errorOccurred);
    connect(m_port.get(), &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError e) {
                if (e != QSerialPort::NoError)
                    m_port->close(); // as the program does, so the dead device is not polled on
            });
    m_port->write("\x01");
    QCOMPARE(readUntil(*m_port, 'y'), QByteArray("ay"));
    QSignalSpy vanished(m_server.get(), &PtyServer::vanished);
    m_server->vanish();
    QCOMPARE(vanished.count(), 1);
    QVERIFY(!m_server->isRunning());
    QTRY_VERIFY(!m_port->isOpen());
    // A hung-up pseudo-terminal reads as the end of input, which the serial layer reports as a
    // read error; a removed USB adapter gives a resource error.
    QVERIFY(!errors.isEmpty());
    const auto error = errors.first().first().value<QSerialPort::SerialPortError>();
    QVERIFY2(error == QSerialPort::ReadError || error == QSerialPort::ResourceError,
             qPrintable(QString::number(error)));
}

QTEST_GUILESS_MAIN(TestPtyServer)
#include "tst_ptyserver.moc"
