#pragma once

#include "SerialPort.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

class VirtualController;

// A serial port whose far end is a VirtualController in the same process. Like a real port it
// hands written bytes on later (never inside write()) and announces answers through readyRead on
// a later pass of the event loop.
//
// With the line model on, written bytes leave at speed/10 bytes per second (a start bit, eight
// data bits, a stop bit) of monotonic time: bytesToWrite() falls as they go, bytesWritten is
// emitted as they go, and the controller receives each byte as it leaves. With it off, bytes leave
// on the next pass of the event loop. Answers from the controller are never slowed down.
//
// With software flow control on, an XOFF from the controller holds the output back until its XON;
// the two bytes are consumed, as a tty does. With it off they arrive as data.
class InProcessPort : public SerialPort
{
    Q_OBJECT
public:
    explicit InProcessPort(VirtualController& controller, QObject* parent = nullptr);

    bool open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool setBaudRate(qint32 bitsPerSecond) override;
    bool setFlowControl(FlowControl flow) override;
    qint64 write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    qint64 bytesAvailable() const override { return m_in.size(); }
    // Falls only when the bytes have been handed to the controller, so the count, bytesWritten
    // and what the controller has received always agree.
    qint64 bytesToWrite() const override { return m_out.size(); }
    PortError lastError() const override { return m_lastError; }

    void setLineModel(bool on) { m_lineModel = on; }
    bool lineModel() const { return m_lineModel; }
    qint32 baudRate() const { return m_baud; }
    FlowControl flowControl() const { return m_flow; }
    bool isHeldByXoff() const { return m_held; }

    // The device disappears, like a USB adapter pulled out: an open port reports `failed` with a
    // NoSuchPort error and refuses all I/O; opening fails until reappear().
    void vanish();
    void reappear() { m_present = true; }
    bool isPresent() const { return m_present; }

private:
    void onControllerBytes(const QByteArray& bytes);
    void drain();
    void scheduleDrain();
    void setHeld(bool held);
    void announceReceived();
    qint64 bytesGoneByNow() const;
    qint64 byteNanoseconds() const;

    QPointer<VirtualController> m_controller;
    bool m_open = false;
    bool m_present = true;
    bool m_lineModel = false;
    bool m_held = false;
    bool m_readyPending = false;
    qint32 m_baud = 9600;
    FlowControl m_flow = FlowControl::None;
    QByteArray m_out;
    QByteArray m_in;
    PortError m_lastError;
    QTimer m_drainTimer;
    QElapsedTimer m_clock;
    // On m_clock: when the first byte of m_out starts (or started) on the line.
    qint64 m_headStartNs = 0;
};
