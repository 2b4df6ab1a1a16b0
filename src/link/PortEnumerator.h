#pragma once

#include <QList>
#include <QString>

// A serial device as the system reports it at one moment.
struct SystemPort
{
    QString deviceName;  // "/dev/ttyUSB0" or "COM3"
    QString product;     // the system's short description, "FT232R USB UART"
    QString usbId;       // "0403:6001", empty for ports without a USB identity
    QString description; // product, maker, USB identity and serial number, for tool tips
};

// What serial devices the system has right now. The program asks again every few seconds to
// notice adapters plugged in or pulled out; tests hand in a list of their own.
class PortEnumerator
{
public:
    virtual ~PortEnumerator() = default;
    virtual QList<SystemPort> ports() const = 0;
};

// The system's own list, through QSerialPortInfo.
class SystemPortEnumerator final : public PortEnumerator
{
public:
    QList<SystemPort> ports() const override;
};
