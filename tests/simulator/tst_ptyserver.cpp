// The pseudo-terminal server with a real QSerialPort on the device side. The link's own tests over
// this server prove that XOFF really pauses the port and that pictures arrive whole; here, how the
// device goes away.

#include "PtyServer.h"
#include "VirtualController.h"

#include <QFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

class TestPtyServer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The device goes away as a removed adapter does: the path is gone and an open port fails.
    void vanishGivesPortError()
    {
        VirtualController controller;
        PtyServer server(controller);
        QVERIFY2(server.start(), qPrintable(server.errorString()));
        QSerialPort port(server.devicePath());
        QVERIFY(port.open(QIODevice::ReadWrite));
        QSignalSpy errors(&port, &QSerialPort::errorOccurred);
        connect(&port, &QSerialPort::errorOccurred, this, [&port](QSerialPort::SerialPortError e) {
            if (e != QSerialPort::NoError)
                port.close(); // as the program does, so the dead device is not polled on
        });
        port.write("\x01");
        QSignalSpy ready(&port, &QSerialPort::readyRead);
        QVERIFY(ready.wait());
        QCOMPARE(controller.sentBytes(), QByteArray("ay"));
        QSignalSpy vanished(&server, &PtyServer::vanished);
        server.vanish();
        QCOMPARE(vanished.count(), 1);
        QVERIFY(!server.isRunning());
        QTRY_VERIFY(!port.isOpen());
        QVERIFY(!QFile::exists(server.devicePath()));
        // A hung-up pseudo-terminal reads as the end of input, which the serial layer reports as
        // a read error; a removed USB adapter gives a resource error.
        QVERIFY(!errors.isEmpty());
        const auto error = errors.first().first().value<QSerialPort::SerialPortError>();
        QVERIFY2(error == QSerialPort::ReadError || error == QSerialPort::ResourceError,
                 qPrintable(QString::number(error)));
    }
};

QTEST_GUILESS_MAIN(TestPtyServer)
#include "tst_ptyserver.moc"
