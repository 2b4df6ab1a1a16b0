#pragma once

#include "SerialPort.h"

#include <QSerialPort>

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
    qint64 bytesToWrite() const override;
    PortError lastError() const override;

    // Maps Qt's error codes onto the classes the program reacts to.
    static PortError classify(QSerialPort::SerialPortError code, const QString& description);

private:
    void onError(QSerialPort::SerialPortError code);

    QSerialPort m_port;
    PortError m_lastError;
};
