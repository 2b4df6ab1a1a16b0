#include "BatchArithmetic.h"

#include "Conversions.h"

#include <QRegularExpression>

#include <cmath>

namespace {

constexpr qint64 MsPerHour = 3600000;
constexpr qint64 MsPerMinute = 60000;
constexpr qint64 MsPerSecond = 1000;

OffsetVerdict refuse(const QString& message)
{
    return {0, message};
}

QString betweenMessage(qint64 highest)
{
    return QStringLiteral("Address must between 1 and %1.").arg(highest);
}

QString notEnoughMessage(int count, qint64 highest)
{
    return QStringLiteral("Not enough addresses for %1 files.\r\nMaximum address is %2.\r\n"
                          "Maximum offset is %3.")
        .arg(count)
        .arg(QString::number(highest + 1 - count, 16).toUpper())
        .arg(highest - count);
}

// "+" (optional) and a decimal number, with or without a fraction.
bool isDecimalOffset(const QString& text)
{
    static const QRegularExpression decimal(QStringLiteral("^\\+?(\\d+\\.?\\d*|\\.\\d+)$"));
    return decimal.match(text).hasMatch();
}

QString twoDigits(qint64 value)
{
    return QString::number(value).rightJustified(2, QLatin1Char('0')).left(2);
}

} // namespace

double RoundHalfEven(double value)
{
    const double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5)
        return whole + 1;
    if (fraction < 0.5)
        return whole;
    return std::fmod(whole, 2.0) == 0 ? whole : whole + 1;
}

QString MaxStartAddressText(int count, qint16 typeCode)
{
    const qint64 start = qint64(HighestAddress(typeCode)) + 1 - count;
    return start >= 1 ? QString::number(start, 16).toUpper() : QString();
}

QString PadOffsetEntry(const QString& text, qint16 typeCode)
{
    if (text.startsWith(QLatin1Char('+')))
        return text;
    return PadAddress(text, AddressWidth(typeCode));
}

OffsetVerdict CheckAddressOffset(const QString& text, bool offsetMode, int count, qint16 typeCode)
{
    const QString s = text.toUpper();
    const qint64 highest = HighestAddress(typeCode);
    if (!offsetMode) {
        const int width = AddressWidth(typeCode);
        if (s.size() != width)
            return refuse(QStringLiteral("Address must %1 characters long.").arg(width));
        const qint64 start = HexToLong(s, false);
        if (start > highest)
            return refuse(betweenMessage(highest));
        if (start + count - 1 > highest)
            return refuse(notEnoughMessage(count, highest));
        if (!IsHexText(s))
            return refuse(QStringLiteral("Address must be in Hex or Decimal format."));
        // Address 0 is no switch: the lowest start is 1, as the message says.
        if (start < 1)
            return refuse(betweenMessage(highest));
        return {start - 1, QString()};
    }
    if (!isDecimalOffset(s))
        return refuse(QStringLiteral("Address must be in Hex or Decimal format."));
    const double offset = RoundHalfEven(s.toDouble());
    if (offset > double(highest))
        return refuse(betweenMessage(highest));
    if (offset + count > double(highest))
        return refuse(notEnoughMessage(count, highest));
    return {qint64(offset), QString()};
}

TimeEstimate EstimateRemainingTime(qint64 startTicks, qint64 nowTicks, qint64& done, qint64 total)
{
    TimeEstimate estimate;
    estimate.ElapsedMs = qMax<qint64>(nowTicks - startTicks, 1);
    if (done == 0)
        done = 1;
    estimate.UnitMs = estimate.ElapsedMs / done;
    estimate.RemainingMs = (total - done) * estimate.UnitMs;
    return estimate;
}

QString FormatHms(qint64 ms, double bias)
{
    const qint64 hours = ms / MsPerHour;
    const qint64 minutes = (ms % MsPerHour) / MsPerMinute;
    const qint64 seconds =
        qint64(RoundHalfEven(double(ms % MsPerHour % MsPerMinute / MsPerSecond) + bias));
    return twoDigits(hours) + QLatin1Char(':') + twoDigits(minutes) + QLatin1Char(':') +
           twoDigits(seconds);
}

QString TimeLabelText(const TimeEstimate& estimate)
{
    return QStringLiteral("Estimated Time Left: %1, Elapsed: %2, Unit: %3ms")
        .arg(FormatHms(estimate.RemainingMs, 0), FormatHms(estimate.ElapsedMs, 0.5))
        .arg(estimate.UnitMs);
}
