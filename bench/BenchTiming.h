#pragma once

#include <QElapsedTimer>

// Microseconds per call of `run`, repeated until `budgetNs` is spent (at least three times), so
// that short work is timed over many runs. `run` returns a size, summed so that the work cannot
// be optimised away; a result that was always empty comes back negative.
template <typename Run> double MicrosecondsPerRun(Run run, qint64 budgetNs = 300'000'000)
{
    QElapsedTimer timer;
    timer.start();
    qint64 runs = 0;
    qint64 sink = 0;
    while (timer.nsecsElapsed() < budgetNs || runs < 3) {
        sink += qint64(run());
        ++runs;
    }
    const double us = double(timer.nsecsElapsed()) / 1000.0 / double(runs);
    return sink > 0 ? us : -us;
}
