#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// Why a port could not be opened or stopped working. The first three classes decide what the
// program does next (fall back to the previous port, or end); everything else is `Other`.
enum class PortErrorClass {
    None,
    NoSuchPort,      // the device does not exist (any more)
    InUse,           // held by another program, or not permitted
    SettingsRefused, // the speed or line settings were not accepted
    Other,
};

struct PortError
{
    PortErrorClass kind = PortErrorClass::None;
    int number = 0;      // the serial layer's own error number, shown to the operator
    QString description; // the operating system's own wording
};

enum class FlowControl { None, XonXoff };

// The one serial line the link talks through. Implemented by the QSerialPort adapter and by the
// virtual controller's in-process port, so the link never knows which one it drives.
// Line settings are always 8 data bits, no parity, 1 stop bit.
class SerialPort : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool open() = 0; // on failure lastError() says why
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual bool setBaudRate(qint32 bitsPerSecond) = 0;
    virtual bool setFlowControl(FlowControl flow) = 0;
    virtual qint64 write(const QByteArray& bytes) = 0;
    virtual QByteArray readAll() = 0;
    virtual qint64 bytesAvailable() const = 0;
    // Bytes handed to the port that have not yet reached the operating system (or the line).
    virtual qint64 bytesToWrite() const = 0;
    // Drops what has not left yet, so the next command does not follow a stale tail on the line.
    virtual void discardOutput() = 0;
    virtual PortError lastError() const = 0;

Q_SIGNALS:
    void readyRead();
    void bytesWritten(qint64 count);
    // The open port failed while in use, for example a USB adapter that was pulled out.
    void failed(const PortError& error);
};
