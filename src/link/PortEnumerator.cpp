#include "PortEnumerator.h"

#include <QSerialPortInfo>
#include <QStringList>

namespace {

QString usbIdentity(const QSerialPortInfo& info)
{
    if (!info.hasVendorIdentifier() || !info.hasProductIdentifier())
        return QString();
    return QStringLiteral("%1:%2")
        .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
        .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
}

QString describeInfo(const QSerialPortInfo& info, const QString& usbId)
{
    QStringList parts;
    if (!info.description().isEmpty())
        parts << info.description();
    if (!info.manufacturer().isEmpty())
        parts << info.manufacturer();
    if (!usbId.isEmpty())
        parts << QStringLiteral("USB ") + usbId;
    if (!info.serialNumber().isEmpty())
        parts << QStringLiteral("serial %1").arg(info.serialNumber());
    return parts.join(QStringLiteral(", "));
}

} // namespace

QList<SystemPort> SystemPortEnumerator::ports() const
{
    QList<SystemPort> list;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        const QString deviceName = info.portName();
#else
        const QString deviceName = info.systemLocation();
#endif
        const QString usbId = usbIdentity(info);
        list.append({deviceName, info.description(), usbId, describeInfo(info, usbId)});
    }
    return list;
}
