#include "InProcessPort.h"

#include "VirtualController.h"

#include <QDeadlineTimer>
#include <QSerialPort>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

constexpr char Xon = 0x11;
constexpr char Xoff = 0x13;
constexpr qint64 NsPerMs = 1'000'000;
// A start bit, eight data bits and a stop bit per byte.
constexpr qint64 BitsPerByte = 10;

} // namespace

InProcessPort::InProcessPort(VirtualController& controller, QObject* parent)
    : SerialPort(parent)
    , m_controller(&controller)
{
    m_drainTimer.setSingleShot(true);
    m_drainTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_drainTimer, &QTimer::timeout, this, &InProcessPort::drain);
    connect(&controller, &VirtualController::transmit, this, &InProcessPort::onControllerBytes);
    // Bytes held back by XOFF are not moving: the controller asked for the pause.
    controller.setLineProbe([this] { return m_open && !m_held && !m_out.isEmpty(); });
    m_clock.start();
}

InProcessPort::~InProcessPort()
{
    if (m_controller)
        m_controller->setLineProbe({});
}

bool InProcessPort::open()
{
    if (!m_present) {
        m_lastError = {PortErrorClass::NoSuchPort, int(QSerialPort::DeviceNotFoundError),
                       QStringLiteral("No such file or directory")};
        return false;
    }
    m_lastError = {};
    m_open = true;
    return true;
}

void InProcessPort::close()
{
    m_open = false;
    m_held = false;
    m_out.clear();
    applyFlowChanges(std::numeric_limits<qint64>::max());
    m_inTransmitter = 0;
    m_in.clear();
    m_drainTimer.stop();
}

bool InProcessPort::setBaudRate(qint32 bitsPerSecond)
{
    if (bitsPerSecond <= 0) {
        m_lastError = {PortErrorClass::SettingsRefused, int(QSerialPort::UnsupportedOperationError),
                       QStringLiteral("Invalid argument")};
        return false;
    }
    m_baud = bitsPerSecond;
    return true;
}

bool InProcessPort::setFlowControl(FlowControl flow)
{
    m_flow = flow;
    m_flowChanges.push_back({m_out.size(), flow == FlowControl::XonXoff});
    applyFlowChanges(0);
    if (flow == FlowControl::None)
        setHeld(false);
    return true;
}

qint64 InProcessPort::write(const QByteArray& bytes)
{
    if (!m_open) {
        m_lastError = {PortErrorClass::Other, int(QSerialPort::NotOpenError),
                       QStringLiteral("Device is not open")};
        return -1;
    }
    // An idle line starts sending now; a busy one sends the new bytes after the others.
    if (m_out.isEmpty())
        m_headStartNs = std::max(m_headStartNs, m_clock.nsecsElapsed());
    m_out += bytes;
    scheduleDrain();
    return bytes.size();
}

void InProcessPort::discardOutput()
{
    m_out.truncate(m_inTransmitter);
    // A flow-control switch queued behind dropped bytes reaches the controller now.
    for (FlowChange& change : m_flowChanges)
        change.after = std::min<qint64>(change.after, m_out.size());
    applyFlowChanges(0);
    scheduleDrain();
}

QByteArray InProcessPort::readAll()
{
    return std::exchange(m_in, QByteArray());
}

void InProcessPort::vanish()
{
    m_present = false;
    if (!m_open)
        return;
    close();
    m_lastError = {PortErrorClass::NoSuchPort, int(QSerialPort::ResourceError),
                   QStringLiteral("Input/output error")};
    // Reported from the event loop, as a real port reports it, never inside the caller.
    QMetaObject::invokeMethod(
        this, [this, error = m_lastError] { Q_EMIT failed(error); }, Qt::QueuedConnection);
}

void InProcessPort::onControllerBytes(const QByteArray& bytes)
{
    if (!m_open) // nobody listens: the answer is lost, as on an unplugged cable
        return;
    for (const char byte : bytes) {
        if (m_flow == FlowControl::XonXoff && (byte == Xon || byte == Xoff))
            setHeld(byte == Xoff);
        else
            m_in += byte;
    }
    announceReceived();
}

void InProcessPort::drain()
{
    const qint64 countBefore = bytesToWrite();
    const qint64 due = m_held ? 0 : m_lineModel ? bytesGoneByNow() : m_out.size();
    // With flow control on, the controller may answer any byte with XOFF; the bytes behind it
    // then stay in the output.
    const qint64 step = m_flow == FlowControl::XonXoff ? 1 : std::max<qint64>(due, 1);
    qint64 sent = 0;
    while (sent < due && m_open && !m_held) {
        applyFlowChanges(sent);
        const qint64 room = m_flowChanges.empty() ? step : m_flowChanges.front().after - sent;
        const QByteArray piece = m_out.mid(sent, std::min(step, room));
        sent += piece.size();
        if (m_controller)
            m_controller->receive(piece);
    }
    m_out.remove(0, sent);
    for (FlowChange& change : m_flowChanges)
        change.after -= sent;
    applyFlowChanges(0);
    if (m_lineModel)
        m_headStartNs += sent * byteNanoseconds();
    m_inTransmitter = transmitterRoom();
    scheduleDrain();
    const qint64 taken = countBefore - bytesToWrite();
    if (taken > 0)
        Q_EMIT bytesWritten(taken);
}

void InProcessPort::applyFlowChanges(qint64 bytesGone)
{
    while (!m_flowChanges.empty() && m_flowChanges.front().after <= bytesGone) {
        if (m_controller)
            m_controller->setHostFlowControl(m_flowChanges.front().xonXoff);
        m_flowChanges.pop_front();
    }
}

void InProcessPort::scheduleDrain()
{
    if (!m_open || m_out.isEmpty()) {
        m_drainTimer.stop();
        return;
    }
    // The transmitter takes what fits on the next pass, XOFF or not.
    if (m_inTransmitter < transmitterRoom() || (!m_lineModel && !m_held)) {
        m_drainTimer.start(0);
        return;
    }
    if (m_held || !m_lineModel) {
        m_drainTimer.stop();
        return;
    }
    // Timers count whole milliseconds: the last fraction before the next byte is done is waited
    // out on passes of the event loop, so the count falls when the line says and not up to a
    // millisecond later (at 115200 bit/s a two-character piece takes 0.17 ms).
    const qint64 wait = m_headStartNs + byteNanoseconds() - m_clock.nsecsElapsed();
    m_drainTimer.start(int(std::max<qint64>(0, wait / NsPerMs)));
}

void InProcessPort::setHeld(bool held)
{
    if (held == m_held)
        return;
    m_held = held;
    if (!held) {
        m_headStartNs = std::max(m_headStartNs, m_clock.nsecsElapsed());
        scheduleDrain();
    }
}

void InProcessPort::announceReceived()
{
    if (m_in.isEmpty() || m_readyPending)
        return;
    m_readyPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_readyPending = false;
            if (m_open && !m_in.isEmpty())
                Q_EMIT readyRead();
        },
        Qt::QueuedConnection);
}

qint64 InProcessPort::lineIdleAtNs() const
{
    const qint64 idleOnClock = m_headStartNs + m_out.size() * byteNanoseconds();
    return QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs() +
           (idleOnClock - m_clock.nsecsElapsed());
}

qint64 InProcessPort::bytesGoneByNow() const
{
    if (m_held)
        return 0;
    const qint64 elapsed = m_clock.nsecsElapsed() - m_headStartNs;
    return std::clamp<qint64>(elapsed / byteNanoseconds(), 0, m_out.size());
}

qint64 InProcessPort::transmitterRoom() const
{
    return m_lineModel ? std::min<qint64>(m_out.size(), m_transmitFifo) : 0;
}

qint64 InProcessPort::byteNanoseconds() const
{
    return BitsPerByte * 1'000'000'000 / m_baud;
}
