// The in-process port: answers arrive later, never inside write(); the line model lets the
// output count fall as bytes leave; XOFF from the controller holds the output; a vanished device
// fails and refuses I/O.

#include "InProcessPort.h"
#include "VirtualController.h"

#include <QDeadlineTimer>
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
    QByteArray received = port.readAll();
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
    void answersArriveAfterWrite()
    {
        VirtualController controller;
        InProcessPort port(controller);
        QVERIFY(port.open());
        // Bytes still waiting when the port closes are dropped, not sent once it is open again.
        port.write("\x01");
        port.close();
        QCOMPARE(port.bytesToWrite(), 0);
        QVERIFY(port.open());
        QSignalSpy ready(&port, &SerialPort::readyRead);
        QSignalSpy written(&port, &SerialPort::bytesWritten);
        QCOMPARE(port.write("&RX"), 3);
        // Nothing has happened yet: the bytes leave on the next pass of the event loop.
        QCOMPARE(port.bytesToWrite(), 3);
        QCOMPARE(controller.receivedBytes(), QByteArray());
        QVERIFY(ready.wait());
        QCOMPARE(written.count(), 1);
        QCOMPARE(written.first().first().toLongLong(), 3);
        QCOMPARE(port.bytesToWrite(), 0);
        QCOMPARE(port.readAll(), QByteArray("a7GLINTSIMV1.00y"));
        QCOMPARE(controller.receivedBytes(), QByteArray("&RX"));
    }

    // A picture written in one piece: the controller has each byte once the count says it left,
    // the count only falls, and the controller's timing still reads the paced bytes as one block.
    void lineModelPacesOutput_data()
    {
        QTest::addColumn<int>("speed");
        QTest::newRow("9600 bit/s") << 9600;
        QTest::newRow("115200 bit/s") << 115200;
    }
    void lineModelPacesOutput()
    {
        QFETCH(int, speed);
        VirtualController controller;
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
        const QByteArray transfer = "(Q7F" + QByteArray(250, 'C');
        port.write(transfer);
        QCOMPARE(port.bytesToWrite(), transfer.size());
        QVERIFY(drained(port));
        QCOMPARE(sent, transfer.size());
        QVERIFY(receivedAsSent);
        QVERIFY(std::is_sorted(counts.rbegin(), counts.rend()));
        // An LCD 36x24 picture is answered once the line has been quiet for a moment.
        QCOMPARE(readUntil(port, 'y'), QByteArray("ay"));
        QCOMPARE(controller.picture(0x7F, 1)->payload, QByteArray(125, char(0xCC)));
    }

    // As a USB adapter: the program's count is 0 after the next pass while the line still sends,
    // and only the line's own time tells when the last byte has left.
    void hiddenQueueShowsNothingOfTheLine()
    {
        VirtualController controller;
        InProcessPort port(controller);
        port.setLineModel(true);
        port.setTransmitFifo(InProcessPort::HiddenQueue);
        QVERIFY(port.setBaudRate(9600));
        QVERIFY(port.open());
        const QByteArray command = "*0001" + QByteArray(16, '0'); // 22 ms at 9600 bit/s
        port.write(command);
        QVERIFY(drained(port));
        QVERIFY(controller.receivedBytes().size() < command.size());
        QVERIFY(port.lineIdleAtNs() > QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs());
        QTRY_COMPARE(controller.receivedBytes(), command);
    }

    // Raw text through a transmit FIFO. Flow control is switched off as soon as the program has
    // written the text; the characters still on their way must reach the controller as raw text.
    void transmitFifoTakesBytesAhead()
    {
        VirtualController controller;
        InProcessPort port(controller);
        port.setLineModel(true);
        port.setTransmitFifo(16);
        QVERIFY(port.setBaudRate(300)); // 33 ms a byte: slow enough to watch
        QVERIFY(port.open());
        QVERIFY(port.setFlowControl(FlowControl::XonXoff));
        QSignalSpy written(&port, &SerialPort::bytesWritten);
        const QByteArray text = "01020304050607080910";
        port.write(text);
        port.setFlowControl(FlowControl::None);
        QVERIFY(written.wait());
        // The transmitter took sixteen at once; the line has not delivered them yet.
        QCOMPARE(written.first().first().toLongLong(), 16);
        QCOMPARE(port.bytesToWrite(), 4);
        QVERIFY(controller.receivedBytes().size() < 16);
        QVERIFY(drained(port));
        QVERIFY(controller.receivedBytes().size() < 20);
        QTRY_COMPARE(controller.rawText(), text);
        QCOMPARE(controller.counters().unrecognised, 0);
    }

    void xoffHoldsOutputUntilXon()
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
        QCOMPARE(readUntil(port, 'y'), QByteArray("y"));
        port.setFlowControl(FlowControl::None);
        QVERIFY(!controller.hostFlowControl());
    }

    void vanishFailsAndRefusesIo()
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
};

QTEST_GUILESS_MAIN(TestInProcessPort)
#include "tst_inprocessport.moc"
