#include "PtyServer.h"

#include "VirtualController.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int ReadChunk = 4096;
constexpr qint64 NsPerMs = 1'000'000;
// A pass that comes late after an idle line may catch up on this much line time (a wake-up that
// came late on a busy machine); more means the line really was idle.
constexpr qint64 CatchUpNs = 20 * NsPerMs;
// A start bit, eight data bits and a stop bit per byte.
constexpr qint64 BitsPerByte = 10;

QString systemError(const QString& what)
{
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

PtyServer::PtyServer(VirtualController& controller, QObject* parent)
    : QObject(parent)
    , m_controller(&controller)
{
    m_readResume.setSingleShot(true);
    m_readResume.setTimerType(Qt::PreciseTimer);
    connect(&m_readResume, &QTimer::timeout, this, &PtyServer::onReadable);
    connect(&controller, &VirtualController::transmit, this, &PtyServer::onControllerBytes);
    controller.setLineProbe([this] { return bytesOnTheWay(); });
    m_clock.start();
}

PtyServer::~PtyServer()
{
    if (m_controller)
        m_controller->setLineProbe({});
    closeDevice();
}

bool PtyServer::bytesOnTheWay() const
{
    // What the program wrote and the controller has not read yet: on a slowed line, the bytes the
    // line has not brought so far.
    int waiting = 0;
    return isRunning() && ::ioctl(m_master, FIONREAD, &waiting) == 0 && waiting > 0;
}

bool PtyServer::start()
{
    if (isRunning())
        return true;
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) {
        fail(QStringLiteral("posix_openpt"));
        return false;
    }
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        fail(QStringLiteral("grantpt/unlockpt"));
        return false;
    }
    char name[128];
    if (ptsname_r(m_master, name, sizeof name) != 0) {
        fail(QStringLiteral("ptsname"));
        return false;
    }
    m_path = QString::fromLocal8Bit(name);
    // Raw from the start: no echo, no line editing, no character translation, 8 bits.
    termios settings{};
    if (tcgetattr(m_master, &settings) == 0) {
        cfmakeraw(&settings);
        tcsetattr(m_master, TCSANOW, &settings);
    }
    m_deviceKeeper = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_deviceKeeper < 0) {
        fail(QStringLiteral("open ") + m_path);
        return false;
    }
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    fcntl(m_master, F_SETFD, FD_CLOEXEC);

    m_readNotifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
    connect(m_readNotifier.get(), &QSocketNotifier::activated, this, &PtyServer::onReadable);
    m_writeNotifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Write);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier.get(), &QSocketNotifier::activated, this, &PtyServer::flushOutput);
    return true;
}

void PtyServer::vanish()
{
    if (!isRunning())
        return;
    closeDevice();
    Q_EMIT vanished();
}

void PtyServer::onReadable()
{
    if (!isRunning())
        return;
    qint64 wanted = ReadChunk;
    const qint64 byteNs = m_speed > 0 ? BitsPerByte * 1'000'000'000 / m_speed : 0;
    if (byteNs > 0) {
        // Read no further ahead than the line has brought. Timers count whole milliseconds and
        // passes come late, so a pass may catch up on a little line time after an idle line,
        // and on all of it while bytes were still waiting (a busy machine must not slow the line).
        const qint64 now = m_clock.nsecsElapsed();
        if (now < m_lineFreeNs) {
            m_readNotifier->setEnabled(false);
            m_readResume.start(int((m_lineFreeNs - now + NsPerMs - 1) / NsPerMs));
            return;
        }
        if (!m_lineBusy)
            m_lineFreeNs = std::max(m_lineFreeNs, now - CatchUpNs);
        wanted = std::clamp<qint64>((now - m_lineFreeNs) / byteNs, 1, ReadChunk);
    }
    m_readNotifier->setEnabled(true);
    char buffer[ReadChunk];
    const ssize_t count = ::read(m_master, buffer, size_t(wanted));
    m_lineBusy = count == wanted; // more may be waiting behind what this pass took
    if (count <= 0)
        return; // nothing there after all (EAGAIN)
    m_lineFreeNs += count * byteNs;
    if (m_controller) {
        m_controller->setHostFlowControl(hostUsesXonXoff());
        m_controller->receive(QByteArray(buffer, int(count)));
    }
}

void PtyServer::onControllerBytes(const QByteArray& bytes)
{
    if (!isRunning())
        return;
    m_pendingOut += bytes;
    flushOutput();
}

void PtyServer::flushOutput()
{
    while (!m_pendingOut.isEmpty()) {
        const ssize_t written = ::write(m_master, m_pendingOut.constData(), m_pendingOut.size());
        if (written > 0) {
            m_pendingOut.remove(0, written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        // The device side's input is full (nobody reads it): go on when there is room.
        if (written < 0 && errno != EAGAIN)
            m_pendingOut.clear();
        break;
    }
    m_writeNotifier->setEnabled(!m_pendingOut.isEmpty());
}

bool PtyServer::hostUsesXonXoff() const
{
    // On the master side the terminal settings are those of the device side, which the program's
    // serial port object sets.
    termios settings{};
    return tcgetattr(m_master, &settings) == 0 && (settings.c_iflag & IXON);
}

void PtyServer::closeDevice()
{
    m_readResume.stop();
    m_readNotifier.reset();
    m_writeNotifier.reset();
    m_pendingOut.clear();
    if (m_deviceKeeper >= 0)
        ::close(m_deviceKeeper);
    if (m_master >= 0)
        ::close(m_master);
    m_deviceKeeper = -1;
    m_master = -1;
}

void PtyServer::fail(const QString& what)
{
    m_error = systemError(what);
    closeDevice();
}
