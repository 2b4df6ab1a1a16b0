#include "QtSerialPortAdapter.h"

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
    return m_port.bytesToWrite();
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
