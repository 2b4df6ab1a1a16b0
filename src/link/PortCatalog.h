#pragma once

#include "SerialPort.h"

#include <QList>
#include <QString>

#include <functional>
#include <map>
#include <memory>

// The program numbers its serial ports 1..16. The catalog maps those numbers to real devices
// (and, when asked, to the virtual controller) and keeps one port object per number.
struct PortEntry
{
    int number = 0;
    QString deviceName;  // "/dev/ttyUSB0", "COM3", or the virtual controller's name
    QString description; // maker, product and USB identity where the system reports them
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
    // Gives the port the next free number (none once all 16 are taken, then 0 is returned).
    int addPort(const QString& deviceName, const QString& description, PortFactory factory);
    // Adds a device by name, opened through QSerialPort.
    int addDevice(const QString& deviceName, const QString& description = QString());

    QList<PortEntry> entries() const;
    const PortEntry* entry(int number) const;
    // The port object for a number, created on first use and kept; null for an unknown number.
    SerialPort* port(int number);
    // "COM3: /dev/ttyUSB0 (description)" for tool tips and the command line.
    QString describe(int number) const;

private:
    struct Slot
    {
        PortEntry entry;
        PortFactory factory;
        std::unique_ptr<SerialPort> port;
    };
    std::map<int, Slot> m_slots;
};
