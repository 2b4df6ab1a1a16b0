// The in-process port: written bytes leave later, never inside write(), and the line model lets
// the output count fall as bytes leave. That it holds its output on the controller's XOFF is
// proven end to end by the command line's raw text on the built-in controller.

#include "InProcessPort.h"
#include "VirtualController.h"

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>

class TestInProcessPort : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A picture written in one piece: the controller has each byte once the count says it left,
    // the count only falls, and the controller's timing still reads paced bytes as one block.
    void outputLeavesAfterWrite_data()
    {
        QTest::addColumn<int>("speed");
        QTest::newRow("9600 bit/s") << 9600;
        QTest::newRow("115200 bit/s") << 115200;
    }
    void outputLeavesAfterWrite()
    {
        QFETCH(int, speed);
        VirtualController controller;
        InProcessPort port(controller);
        port.setLineModel(true);
        QVERIFY(port.setBaudRate(speed));
        QVERIFY(port.open());
        // Bytes still waiting when the port closes are dropped, not sent once it is open again.
        port.write("\x01");
        port.close();
        QCOMPARE(port.bytesToWrite(), 0);
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
        QCOMPARE(controller.receivedBytes(), QByteArray());
        // An LCD 36x24 picture is answered once the line has been quiet for a moment.
        QByteArray answer;
        QTRY_COMPARE(answer += port.readAll(), QByteArray("ay"));
        QCOMPARE(port.bytesToWrite(), 0);
        QCOMPARE(controller.receivedBytes(), transfer);
        QVERIFY(receivedAsSent);
        QVERIFY(std::is_sorted(counts.rbegin(), counts.rend()));
        QCOMPARE(controller.picture(0x7F, 1)->payload, QByteArray(125, char(0xCC)));
    }

    // Raw text through a transmit FIFO (a UART's, or a USB adapter's that hides the whole queue):
    // the count falls while the line still sends. Flow control is switched off as soon as the
    // text is written; the characters still on their way must reach the controller as raw text.
    void transmitFifoTakesBytesAhead_data()
    {
        QTest::addColumn<int>("fifo");
        QTest::newRow("16 bytes") << 16;
        QTest::newRow("hidden queue") << InProcessPort::HiddenQueue;
    }
    void transmitFifoTakesBytesAhead()
    {
        QFETCH(int, fifo);
        VirtualController controller;
        InProcessPort port(controller);
        port.setLineModel(true);
        port.setTransmitFifo(fifo);
        QVERIFY(port.setBaudRate(300)); // 33 ms a byte: slow enough to watch
        QVERIFY(port.open());
        QVERIFY(port.setFlowControl(FlowControl::XonXoff));
        QSignalSpy written(&port, &SerialPort::bytesWritten);
        const QByteArray text = "01020304050607080910";
        port.write(text);
        port.setFlowControl(FlowControl::None);
        QVERIFY(written.wait());
        const qint64 taken = std::min<qint64>(fifo, text.size());
        QCOMPARE(written.first().first().toLongLong(), taken);
        QCOMPARE(port.bytesToWrite(), text.size() - taken);
        QTRY_COMPARE(port.bytesToWrite(), 0);
        QVERIFY(controller.receivedBytes().size() < text.size());
        QVERIFY(port.lineIdleAtNs() > QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs());
        QTRY_COMPARE(controller.rawText(), text);
        QVERIFY(!controller.hostFlowControl());
        QCOMPARE(controller.counters().unrecognised, 0);
    }
};

QTEST_GUILESS_MAIN(TestInProcessPort)
#include "tst_inprocessport.moc"
