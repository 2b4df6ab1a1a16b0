#include "PortCatalog.h"

#include "QtSerialPortAdapter.h"

#include <algorithm>

PortCatalog::PortCatalog() = default;
PortCatalog::~PortCatalog() = default;

namespace {

bool sameDevice(const QString& a, const QString& b)
{
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

} // namespace

void PortCatalog::addSystemPorts()
{
    addSystemPorts(SystemPortEnumerator());
}

void PortCatalog::addSystemPorts(const PortEnumerator& enumerator)
{
#ifdef Q_OS_WIN
    // Windows numbers its own ports: COMn is number n whether or not it is there now.
    for (int n = 1; n <= MaxPorts; ++n) {
        if (const int number = addDevice(QStringLiteral("COM%1").arg(n))) {
            m_slots[number].entry.systemPort = true;
            m_slots[number].entry.present = false;
        }
    }
#endif
    refresh(enumerator);
}

PortChanges PortCatalog::refresh(const PortEnumerator& enumerator)
{
    QList<SystemPort> reported = enumerator.ports();
    // New devices take their numbers in name order, as the ones found at start did.
    std::sort(reported.begin(), reported.end(),
              [](const auto& a, const auto& b) { return a.deviceName < b.deviceName; });
    PortChanges changes;
    for (const SystemPort& device : reported) {
        int number = numberOf(device.deviceName);
        if (number == 0) {
            number = addDevice(device.deviceName);
            if (number == 0)
                continue;
            m_slots[number].entry.present = false;
        }
        PortEntry& entry = m_slots[number].entry;
        if (!entry.present)
            changes.arrived << entry.number;
        changes.any = changes.any || !entry.present || entry.description != device.description;
        entry.systemPort = true;
        entry.present = true;
        entry.description = device.description;
        entry.product = device.product;
        entry.usbId = device.usbId;
    }
    for (auto& [number, slot] : m_slots) {
        const bool stillThere = std::any_of(reported.begin(), reported.end(), [&](const auto& d) {
            return sameDevice(d.deviceName, slot.entry.deviceName);
        });
        if (slot.entry.systemPort && slot.entry.present && !stillThere) {
            slot.entry.present = false;
            changes.any = true;
        }
    }
    return changes;
}

int PortCatalog::numberOf(const QString& deviceName) const
{
    for (const auto& [number, slot] : m_slots) {
        if (sameDevice(slot.entry.deviceName, deviceName))
            return number;
    }
    return 0;
}

int PortCatalog::addPort(const QString& deviceName, const QString& description, PortFactory factory)
{
    for (int n = 1; n <= MaxPorts; ++n) {
        if (m_slots.count(n) == 0) {
            m_slots[n] = Slot{PortEntry{n, deviceName, description, {}, {}, false, true},
                              std::move(factory), nullptr};
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

QString PortCatalog::label(int number) const
{
    const PortEntry* e = entry(number);
    if (!e)
        return QString::number(number);
    QStringList parts{QString::number(number), e->deviceName};
    if (!e->present)
        parts << QStringLiteral("(unplugged)");
    else
        parts << (e->product.isEmpty() ? e->description : e->product) << e->usbId;
    parts.removeAll(QString());
    return parts.join(QStringLiteral("  "));
}
