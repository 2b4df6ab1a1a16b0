#pragma once

#include "SerialPort.h"

#include <QSerialPort>
#include <QTimer>

// A real serial device through Qt Serial Port. Received bytes arrive on the main thread.
class QtSerialPortAdapter final : public SerialPort
{
    Q_OBJECT
public:
    explicit QtSerialPortAdapter(const QString& deviceName, QObject* parent = nullptr);

    bool open() override;
    void close() override;
    bool isOpen() const override;
    bool setBaudRate(qint32 bitsPerSecond) override;
    bool setFlowControl(FlowControl flow) override;
    qint64 write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    qint64 bytesAvailable() const override;
    // Qt's own buffer plus the operating system's output queue: what has not left the machine.
    qint64 bytesToWrite() const override;
    // Qt's buffer and the operating system's output queue.
    void discardOutput() override;
    PortError lastError() const override;

    // Maps Qt's error codes onto the classes the program reacts to.
    static PortError classify(QSerialPort::SerialPortError code, const QString& description);

private:
    void onError(QSerialPort::SerialPortError code);
    qint64 systemOutputQueue() const;
    bool deviceStillAnswers() const;

    QSerialPort m_port;
    PortError m_lastError;
    // A full output queue (a controller holding XOFF) refuses writes for a while; Qt's buffer is
    // offered to the device again on this timer until it takes it.
    QTimer m_writeRetry;
};
