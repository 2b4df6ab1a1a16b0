#include "HexField.h"

#include "Conversions.h"

HexFieldVerdict CheckHexField(const QString& text, int length, qint64 maximum)
{
    if (text.isEmpty())
        return {true, QString(), QString()};
    const QString s = text.toUpper();
    if (s.size() != length)
        return {false, QString(), QStringLiteral("Data must be %1 characters long.").arg(length)};
    // The value is read as a 32-bit signed number, so eight digits from 80000000 on are negative
    // and never too large.
    if (HexToLong(s, false) > maximum)
        return {false, QString(), QStringLiteral("Data must between 1 and %1.").arg(maximum)};
    if (!IsHexText(s))
        return {false, QString(), QStringLiteral("Data must be in Hex format.")};
    return {true, s, QString()};
}
