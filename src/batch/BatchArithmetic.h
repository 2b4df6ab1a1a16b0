#pragma once

#include <QString>

// The numbers of a batch: where its address block may start, what the operator's start or offset
// entry means, and how the run's times are shown. Nothing here touches a window.

// Rounds to the nearest whole number, halves to the even one (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// The highest start address that still fits `count` files, in upper-case hex without leading
// zeros ("F6" for 10 LCD files); empty when even address 1 leaves too few addresses.
QString MaxStartAddressText(int count, qint16 typeCode);

// The start entry as the box shows it before it is checked: a hex start address is padded with
// "0" to the type's width; a decimal offset ("+" first) is left alone.
QString PadOffsetEntry(const QString& text, qint16 typeCode);

struct OffsetVerdict
{
    qint64 offset = 0; // added to the default addresses 1..N
    QString message;   // why the entry was refused (title "Address Offset"); empty: accepted
};

// Checks the start entry for a batch of `count` files. offsetMode false: `text` is a hex start
// address (already padded); true: "+" and a decimal offset, rounded halves to even.
OffsetVerdict CheckAddressOffset(const QString& text, bool offsetMode, int count, qint16 typeCode);

// --- run times

struct TimeEstimate
{
    qint64 ElapsedMs = 0;
    qint64 UnitMs = 0;      // average time per list position so far
    qint64 RemainingMs = 0; // the positions still to go at that average
};

// Elapsed time since `startTicks` (at least 1 ms) and the estimate for `total` positions after
// `done` of them; `done` is raised to 1 when it is 0. Skipped (unticked) files count as positions.
TimeEstimate EstimateRemainingTime(qint64 startTicks, qint64 nowTicks, qint64& done, qint64 total);

// "hh:mm:ss" with whole seconds plus `bias` rounded halves to even, so 59 s with bias 0.5 shows
// "00:00:60". Each part keeps its first two digits.
QString FormatHms(qint64 ms, double bias);

// The run's time label: "Estimated Time Left: 00:00:15, Elapsed: 00:00:10, Unit: 2500ms".
QString TimeLabelText(const TimeEstimate& estimate);
// The label before a run has measured anything.
inline const QString IdleTimeLabelText =
    QStringLiteral("Estimated Time Left: 00:00:00, Elapsed: 00:00:00, Unit: 0000ms");
