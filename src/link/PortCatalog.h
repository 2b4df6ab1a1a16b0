#pragma once

#include "PortEnumerator.h"
#include "SerialPort.h"

#include <QList>
#include <QString>

#include <functional>
#include <map>
#include <memory>

// The program numbers its serial ports 1..16. The catalog maps those numbers to real devices
// (and, when asked, to the virtual controller) and keeps one port object per number. A number,
// once given, stays with its device while the program runs, even while an adapter is unplugged.
struct PortEntry
{
    int number = 0;
    QString deviceName;      // "/dev/ttyUSB0", "COM3", or the virtual controller's name
    QString description;     // maker, product and USB identity where the system reports them
    QString product;         // the system's short name of the device
    QString usbId;           // "vendor:product" in hex
    bool systemPort = false; // reported by the system, so it can go away and come back
    bool present = true;     // false while the system no longer reports it
};

// What one look at the system's ports changed.
struct PortChanges
{
    QList<int> arrived; // numbers of devices that are new or back
    bool any = false;   // something was added, went away, came back or was renamed
};

class PortCatalog
{
public:
    static constexpr int MaxPorts = 16;
    using PortFactory = std::function<std::unique_ptr<SerialPort>()>;

    PortCatalog();
    ~PortCatalog();

    // Adds the system's serial ports: on Windows COM1..COM16, elsewhere the reported devices in
    // name order.
    void addSystemPorts();
    void addSystemPorts(const PortEnumerator& enumerator);
    // Looks at the system's ports again: new devices take the next free numbers, devices no longer
    // reported are marked absent and keep their numbers, and returning ones are present again.
    PortChanges refresh(const PortEnumerator& enumerator);
    // Gives the port the next free number (none once all 16 are taken, then 0 is returned).
    int addPort(const QString& deviceName, const QString& description, PortFactory factory);
    // Adds a device by name, opened through QSerialPort.
    int addDevice(const QString& deviceName, const QString& description = QString());

    QList<PortEntry> entries() const;
    const PortEntry* entry(int number) const;
    // The number a device is listed under, 0 when it is not.
    int numberOf(const QString& deviceName) const;
    // The port object for a number, created on first use and kept; null for an unknown number.
    SerialPort* port(int number);
    // "COM3: /dev/ttyUSB0 (description)" for tool tips and the command line.
    QString describe(int number) const;
    // "3  /dev/ttyUSB0  FT232R USB UART  0403:6001", or "3  /dev/ttyUSB0  (unplugged)", for the
    // port lists.
    QString label(int number) const;

private:
    struct Slot
    {
        PortEntry entry;
        PortFactory factory;
        std::unique_ptr<SerialPort> port;
    };
    std::map<int, Slot> m_slots;
};
