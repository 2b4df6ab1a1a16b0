#include "PortCatalog.h"

#include "QtSerialPortAdapter.h"

#include <QSerialPortInfo>

#include <algorithm>

PortCatalog::PortCatalog() = default;
PortCatalog::~PortCatalog() = default;

namespace {

QString describeInfo(const QSerialPortInfo& info)
{
    QStringList parts;
    if (!info.description().isEmpty())
        parts << info.description();
    if (!info.manufacturer().isEmpty())
        parts << info.manufacturer();
    if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
        parts << QStringLiteral("USB %1:%2")
                     .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                     .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
    }
    if (!info.serialNumber().isEmpty())
        parts << QStringLiteral("serial %1").arg(info.serialNumber());
    return parts.join(QStringLiteral(", "));
}

} // namespace

void PortCatalog::addSystemPorts()
{
#ifdef Q_OS_WIN
    for (int n = 1; n <= MaxPorts; ++n)
        addDevice(QStringLiteral("COM%1").arg(n));
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        for (auto& [number, slot] : m_slots) {
            if (slot.entry.deviceName.compare(info.portName(), Qt::CaseInsensitive) == 0)
                slot.entry.description = describeInfo(info);
        }
    }
#else
    QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    std::sort(infos.begin(), infos.end(),
              [](const auto& a, const auto& b) { return a.systemLocation() < b.systemLocation(); });
    for (const QSerialPortInfo& info : infos)
        addDevice(info.systemLocation(), describeInfo(info));
#endif
}

int PortCatalog::addPort(const QString& deviceName, const QString& description, PortFactory factory)
{
    for (int n = 1; n <= MaxPorts; ++n) {
        if (m_slots.count(n) == 0) {
            m_slots[n] = Slot{PortEntry{n, deviceName, description}, std::move(factory), nullptr};
            return n;
        }
    }
    return 0;
}

int PortCatalog::addDevice(const QString& deviceName, const QString& description)
{
    return addPort(deviceName, description,
                   [deviceName] { return std::make_unique<QtSerialPortAdapter>(deviceName); });
}

QList<PortEntry> PortCatalog::entries() const
{
    QList<PortEntry> list;
    for (const auto& [number, slot] : m_slots)
        list << slot.entry;
    return list;
}

const PortEntry* PortCatalog::entry(int number) const
{
    const auto it = m_slots.find(number);
    return it == m_slots.end() ? nullptr : &it->second.entry;
}

SerialPort* PortCatalog::port(int number)
{
    const auto it = m_slots.find(number);
    if (it == m_slots.end())
        return nullptr;
    Slot& slot = it->second;
    if (!slot.port)
        slot.port = slot.factory();
    return slot.port.get();
}

QString PortCatalog::describe(int number) const
{
    const PortEntry* e = entry(number);
    if (!e)
        return QStringLiteral("COM%1: no such port").arg(number);
    QString text = QStringLiteral("COM%1: %2").arg(number).arg(e->deviceName);
    if (!e->description.isEmpty())
        text += QStringLiteral(" (%1)").arg(e->description);
    return text;
}
