// The in-process port: answers arrive later, never inside write(); the line model lets the
// output count fall as bytes leave; XOFF from the controller holds the output; a vanished device
// fails and refuses I/O.

#include "ControllerScript.h"
#include "InProcessPort.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Waits, on the event loop, until the port has handed every byte to the line.
bool drained(InProcessPort& port)
{
    QSignalSpy written(&port, &SerialPort::bytesWritten);
    while (port.bytesToWrite() > 0)
        if (!written.wait(2000))
            return false;
    return true;
}

QByteArray readUntil(InProcessPort& port, char last)
{
    QByteArray received;
    QSignalSpy ready(&port, &SerialPort::readyRead);
    while (!received.endsWith(last) && ready.wait(2000))
        received += port.readAll();
    return received;
}

} // namespace

class TestInProcessPort : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void answersArriveAfterWrite();
    void lineModelPacesOutput_data();
    void lineModelPacesOutput();
    void transmitFifoTakesBytesAhead();
    void pacedPictureTransfer();
    void xoffHoldsOutputUntilXon();
    void rawTextStillOnLineStaysRawText();
    void vanishFailsAndRefusesIo();
    void closedPortWritesNothing();
};

void TestInProcessPort::answersArriveAfterWrite()
{
    VirtualController controller;
    InProcessPort port(controller);
    QVERIFY(port.open());
    QSignalSpy ready(&port, &SerialPort::readyRead);
    QSignalSpy written(&port, &SerialPort::bytesWritten);
    QCOMPARE(port.write("&RX"), 3);
    // Nothing has happened yet: the bytes leave on the next pass of the event loop.
    QCOMPARE(port.bytesToWrite(), 3);
    QCOMPARE(controller.receivedBytes(), QByteArray());
    QCOMPARE(ready.count(), 0);
    QVERIFY(ready.wait());
    QCOMPARE(written.count(), 1);
    QCOMPARE(written.first().first().toLongLong(), 3);
    QCOMPARE(port.bytesToWrite(), 0);
    QCOMPARE(port.bytesAvailable(), 16);
    QCOMPARE(port.readAll(), QByteArray("a7GLINTSIMV1.00y"));
    QCOMPARE(port.bytesAvailable(), 0);
}

void TestInProcessPort::lineModelPacesOutput_data()
{
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("bytes");
    QTest::newRow("9600 bit/s") << 9600 << 24;
    QTest::newRow("115200 bit/s") << 115200 << 200;
}

void TestInProcessPort::lineModelPacesOutput()
{
    QFETCH(int, speed);
    QFETCH(int, bytes);
    VirtualController controller;
    controller.setHostFlowControl(true); // raw text: the controller takes any byte quietly
    controller.setTextInput(4096, 100000);
    InProcessPort port(controller);
    port.setLineModel(true);
    QVERIFY(port.setBaudRate(speed));
    QVERIFY(port.open());

    QList<qint64> counts;
    qint64 sent = 0;
    bool receivedAsSent = true;
    connect(&port, &SerialPort::bytesWritten, this, [&](qint64 count) {
        sent += count;
        counts.append(port.bytesToWrite());
        receivedAsSent = receivedAsSent && controller.receivedBytes().size() == sent;
    });
    const QByteArray data(bytes, 'x');
    port.write(data);
    QVERIFY(port.bytesToWrite() > 0);
    QCOMPARE(controller.receivedBytes(), QByteArray());
    QVERIFY(drained(port));
    QCOMPARE(sent, bytes);
    QCOMPARE(controller.receivedBytes(), data);
    // The controller has each byte once the count says it left, and the count only falls.
    QVERIFY(receivedAsSent);
    QVERIFY(std::is_sorted(counts.rbegin(), counts.rend()));
}

void TestInProcessPort::transmitFifoTakesBytesAhead()
{
    VirtualController controller;
    controller.setHostFlowControl(true);
    InProcessPort port(controller);
    port.setLineModel(true);
    port.setTransmitFifo(16);
    QVERIFY(port.setBaudRate(300)); // 33 ms a byte: slow enough to watch
    QVERIFY(port.open());
    QSignalSpy written(&port, &SerialPort::bytesWritten);
    port.write(QByteArray(20, 'x'));
    QCOMPARE(port.bytesToWrite(), 20);
    QVERIFY(written.wait());
    // The transmitter took sixteen at once; the line has not delivered them yet.
    QCOMPARE(written.first().first().toLongLong(), 16);
    QCOMPARE(port.bytesToWrite(), 4);
    QVERIFY(controller.receivedBytes().size() < 16);
    QVERIFY(drained(port));
    QVERIFY(controller.receivedBytes().size() < 20);
    QTRY_COMPARE(controller.receivedBytes(), QByteArray(20, 'x'));
}

void TestInProcessPort::pacedPictureTransfer()
{
    VirtualController controller;
    InProcessPort port(controller);
    port.setLineModel(true);
    port.setBaudRate(115200);
    QVERIFY(port.open());
    const QByteArray payload = samplePayload(125, 3);
    port.write("(Q7F");
    QCOMPARE(readUntil(port, 'a'), QByteArray("a"));
    const QByteArray digits = payload.toHex().toUpper();
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        port.write(digits.mid(i, 2));
        QVERIFY(drained(port));
    }
    // An LCD 36x24 picture is answered once the line has been quiet for a moment.
    QCOMPARE(readUntil(port, 'y'), QByteArray("y"));
    QCOMPARE(controller.picture(0x7F, 1)->payload, payload);
}

void TestInProcessPort::xoffHoldsOutputUntilXon()
{
    VirtualController controller;
    controller.setTextInput(16, 100);
    InProcessPort port(controller);
    QVERIFY(port.open());
    QVERIFY(port.setFlowControl(FlowControl::XonXoff));
    QVERIFY(controller.hostFlowControl());
    const QByteArray text(40, 't');
    port.write(text);
    // The controller asks for a pause two characters before its input is full.
    QTRY_VERIFY(port.isHeldByXoff());
    QCOMPARE(port.bytesToWrite(), 40 - 14);
    QCOMPARE(controller.rawText().size(), 14);
    QVERIFY(drained(port));
    QCOMPARE(controller.rawText(), text);
    QCOMPARE(controller.counters().textCharsLost, 0);
    QVERIFY(controller.counters().xoffSent >= 2);
    // The flow control bytes never reach the program; the final answer does.
    QByteArray received = readUntil(port, 'y');
    QCOMPARE(received, QByteArray("y"));
    port.setFlowControl(FlowControl::None);
    QVERIFY(!controller.hostFlowControl());
}

// Flow control is switched off as soon as the program has written the text; the characters still
// on their way must reach the controller as raw text all the same.
void TestInProcessPort::rawTextStillOnLineStaysRawText()
{
    VirtualController controller;
    InProcessPort port(controller);
    port.setLineModel(true);
    port.setTransmitFifo(16);
    QVERIFY(port.open());
    port.setBaudRate(9600);
    port.setFlowControl(FlowControl::XonXoff);
    port.write("0102");
    port.setFlowControl(FlowControl::None);
    QVERIFY(drained(port));
    QTRY_COMPARE(controller.rawText(), QByteArray("0102"));
    QCOMPARE(controller.counters().unrecognised, 0);
}

void TestInProcessPort::vanishFailsAndRefusesIo()
{
    VirtualController controller;
    InProcessPort port(controller);
    QVERIFY(port.open());
    QSignalSpy failed(&port, &SerialPort::failed);
    port.vanish();
    QCOMPARE(failed.count(), 0); // reported from the event loop, not inside the caller
    QVERIFY(failed.wait());
    QCOMPARE(failed.first().first().value<PortError>().kind, PortErrorClass::NoSuchPort);
    QVERIFY(!port.isOpen());
    QCOMPARE(port.write("\x01"), -1);
    QVERIFY(!port.open());
    QCOMPARE(port.lastError().kind, PortErrorClass::NoSuchPort);
    port.reappear();
    QVERIFY(port.open());
    port.write("\x01");
    QCOMPARE(readUntil(port, 'y'), QByteArray("ay"));
}

void TestInProcessPort::closedPortWritesNothing()
{
    VirtualController controller;
    InProcessPort port(controller);
    QCOMPARE(port.write("\x01"), -1);
    QVERIFY(port.open());
    QSignalSpy written(&port, &SerialPort::bytesWritten);
    port.write("\x01");
    port.close();
    QVERIFY(!written.wait(50));
    QCOMPARE(controller.receivedBytes(), QByteArray());
    QCOMPARE(port.bytesToWrite(), 0);
}

QTEST_GUILESS_MAIN(TestInProcessPort)
#include "tst_inprocessport.moc"
