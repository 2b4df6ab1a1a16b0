#pragma once

#include "SerialPort.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <deque>
#include <limits>

class VirtualController;

// A serial port whose far end is a VirtualController in the same process. Like a real port it
// hands written bytes on later (never inside write()) and announces answers through readyRead on
// a later pass of the event loop.
//
// With the line model on, written bytes leave at speed/10 bytes per second (a start bit, eight
// data bits, a stop bit) of monotonic time, and the controller receives each byte as it leaves.
// bytesToWrite() counts what the transmitter has not taken yet; it falls, and bytesWritten is
// emitted, as the transmitter takes bytes. Without a transmit FIFO (the default) the transmitter
// takes a byte only as it leaves, so the count falls at the line's own pace. With a FIFO of n
// bytes, as a UART or a USB adapter has, it takes up to n bytes ahead on the next pass of the
// event loop, and the line keeps sending them while the program prepares its next write.
// With the line model off, bytes leave on the next pass of the event loop.
// Answers from the controller are never slowed down.
//
// With software flow control on, an XOFF from the controller holds the output back until its XON;
// the two bytes are consumed, as a tty does. With it off they arrive as data.
class InProcessPort : public SerialPort
{
    Q_OBJECT
public:
    explicit InProcessPort(VirtualController& controller, QObject* parent = nullptr);
    ~InProcessPort() override;

    bool open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool setBaudRate(qint32 bitsPerSecond) override;
    bool setFlowControl(FlowControl flow) override;
    qint64 write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    qint64 bytesAvailable() const override { return m_in.size(); }
    qint64 bytesToWrite() const override { return m_out.size() - m_inTransmitter; }
    // What the transmitter has taken still goes out, as from a UART's FIFO.
    void discardOutput() override;
    PortError lastError() const override { return m_lastError; }

    void setLineModel(bool on) { m_lineModel = on; }
    bool lineModel() const { return m_lineModel; }
    void setTransmitFifo(int bytes) { m_transmitFifo = std::max(0, bytes); }
    // A transmitter that takes every byte at once, as a USB adapter's chip does: bytesToWrite()
    // then says nothing of what the line still has to send.
    static constexpr int HiddenQueue = std::numeric_limits<int>::max();
    int transmitFifo() const { return m_transmitFifo; }
    qint32 baudRate() const { return m_baud; }
    FlowControl flowControl() const { return m_flow; }
    bool isHeldByXoff() const { return m_held; }
    // With the line model: when the last byte written so far leaves the line, on the monotonic
    // clock of QDeadlineTimer::current() in nanoseconds.
    qint64 lineIdleAtNs() const;

    // The device disappears, like a USB adapter pulled out: an open port reports `failed` with a
    // NoSuchPort error and refuses all I/O; opening fails until reappear().
    void vanish();
    void reappear() { m_present = true; }
    bool isPresent() const { return m_present; }

private:
    void onControllerBytes(const QByteArray& bytes);
    void drain();
    void applyFlowChanges(qint64 bytesGone);
    void scheduleDrain();
    void setHeld(bool held);
    void announceReceived();
    qint64 bytesGoneByNow() const;
    // How many of the waiting bytes the transmitter holds once it has taken what fits.
    qint64 transmitterRoom() const;
    qint64 byteNanoseconds() const;

    QPointer<VirtualController> m_controller;
    bool m_open = false;
    bool m_present = true;
    bool m_lineModel = false;
    int m_transmitFifo = 0;
    bool m_held = false;
    bool m_readyPending = false;
    qint32 m_baud = 9600;
    FlowControl m_flow = FlowControl::None;
    QByteArray m_out; // written bytes that have not left yet, in order
    // A flow-control switch reaches the controller when the bytes written before it have left,
    // so raw text still on the line is taken as raw text.
    struct FlowChange
    {
        qint64 after; // bytes of m_out ahead of the switch
        bool xonXoff;
    };
    std::deque<FlowChange> m_flowChanges;
    qint64 m_inTransmitter = 0; // how many of the first of them the transmitter has taken
    QByteArray m_in;
    PortError m_lastError;
    QTimer m_drainTimer;
    QElapsedTimer m_clock;
    // On m_clock: when the first byte of m_out starts (or started) on the line.
    qint64 m_headStartNs = 0;
};
