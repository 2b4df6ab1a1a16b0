#include "QtSerialPortAdapter.h"

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(Q_OS_UNIX)
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace {
// How soon a write refused by a full output queue is offered again.
constexpr int WriteRetryMs = 10;
} // namespace

QtSerialPortAdapter::QtSerialPortAdapter(const QString& deviceName, QObject* parent)
    : SerialPort(parent)
{
    m_port.setPortName(deviceName);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialPort::readyRead);
    connect(&m_port, &QSerialPort::bytesWritten, this, &SerialPort::bytesWritten);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPortAdapter::onError);
    m_writeRetry.setSingleShot(true);
    connect(&m_writeRetry, &QTimer::timeout, this, [this] {
        if (m_port.isOpen() && m_port.bytesToWrite() > 0)
            m_port.flush();
    });
}

PortError QtSerialPortAdapter::classify(QSerialPort::SerialPortError code,
                                        const QString& description)
{
    PortError error{PortErrorClass::Other, int(code), description};
    switch (code) {
    case QSerialPort::NoError:
        error.kind = PortErrorClass::None;
        break;
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::ResourceError:
        error.kind = PortErrorClass::NoSuchPort;
        break;
    case QSerialPort::PermissionError:
        error.kind = PortErrorClass::InUse;
#ifdef Q_OS_LINUX
        if (description.contains(QLatin1String("ermission denied"))) {
            error.description += QStringLiteral(
                " (to use serial ports, add your user to the dialout group and log in again)");
        }
#endif
        break;
    case QSerialPort::UnsupportedOperationError:
        error.kind = PortErrorClass::SettingsRefused;
        break;
    default:
        break;
    }
    return error;
}

bool QtSerialPortAdapter::open()
{
    m_lastError = {};
    if (m_port.open(QIODevice::ReadWrite))
        return true;
    m_lastError = classify(m_port.error(), m_port.errorString());
    m_port.clearError();
    return false;
}

void QtSerialPortAdapter::close()
{
    m_writeRetry.stop();
    m_port.close();
}

bool QtSerialPortAdapter::isOpen() const
{
    return m_port.isOpen();
}

bool QtSerialPortAdapter::setBaudRate(qint32 bitsPerSecond)
{
    if (m_port.setBaudRate(bitsPerSecond))
        return true;
    m_lastError = {PortErrorClass::SettingsRefused, int(m_port.error()), m_port.errorString()};
    return false;
}

bool QtSerialPortAdapter::setFlowControl(FlowControl flow)
{
    return m_port.setFlowControl(flow == FlowControl::XonXoff ? QSerialPort::SoftwareControl
                                                              : QSerialPort::NoFlowControl);
}

qint64 QtSerialPortAdapter::write(const QByteArray& bytes)
{
    return m_port.write(bytes);
}

QByteArray QtSerialPortAdapter::readAll()
{
    return m_port.readAll();
}

qint64 QtSerialPortAdapter::bytesAvailable() const
{
    return m_port.bytesAvailable();
}

qint64 QtSerialPortAdapter::bytesToWrite() const
{
    return m_port.bytesToWrite() + systemOutputQueue();
}

void QtSerialPortAdapter::discardOutput()
{
    m_writeRetry.stop();
    m_port.clear(QSerialPort::Output);
}

qint64 QtSerialPortAdapter::systemOutputQueue() const
{
    if (!m_port.isOpen())
        return 0;
#if defined(Q_OS_WIN)
    COMSTAT status{};
    DWORD errors = 0;
    if (ClearCommError(m_port.handle(), &errors, &status))
        return status.cbOutQue;
#elif defined(TIOCOUTQ)
    int queued = 0;
    if (::ioctl(m_port.handle(), TIOCOUTQ, &queued) == 0)
        return queued;
#endif
    return 0; // unknown: the link's line-time account still paces the line
}

bool QtSerialPortAdapter::deviceStillAnswers() const
{
#if defined(Q_OS_WIN)
    DCB settings{};
    settings.DCBlength = sizeof settings;
    return GetCommState(m_port.handle(), &settings) != 0;
#elif defined(Q_OS_UNIX)
    termios settings{};
    return ::tcgetattr(m_port.handle(), &settings) == 0;
#else
    return false;
#endif
}

PortError QtSerialPortAdapter::lastError() const
{
    return m_lastError;
}

void QtSerialPortAdapter::onError(QSerialPort::SerialPortError code)
{
    // Failures while opening are reported by open(); only a port in use can fail later on.
    if (code == QSerialPort::NoError || !m_port.isOpen())
        return;
    if (code != QSerialPort::ResourceError && code != QSerialPort::WriteError &&
        code != QSerialPort::ReadError)
        return;
    // A write refused because the output queue is full ("Resource temporarily unavailable": the
    // controller said XOFF, or reads slower than the program writes) is a pause, not a lost port:
    // the device is still there, and the bytes stay in Qt's buffer until it takes them.
    if (code != QSerialPort::ReadError && deviceStillAnswers()) {
        m_port.clearError();
        m_writeRetry.start(WriteRetryMs);
        return;
    }
    // A device that hangs up mid-read (a pseudo-terminal closed, some adapters unplugged) reports
    // a read error with a stale description; to the operator it is simply gone.
    m_lastError = code == QSerialPort::ReadError
                      ? PortError{PortErrorClass::NoSuchPort, int(code),
                                  QStringLiteral("the device is no longer there.")}
                      : classify(code, m_port.errorString());
    m_port.clearError();
    // Close later: the port may be in the middle of emitting this very signal.
    QMetaObject::invokeMethod(
        this, [this, error = m_lastError] { Q_EMIT failed(error); }, Qt::QueuedConnection);
}
