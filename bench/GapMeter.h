#pragma once

// The longest time the event loop went without serving a 1 ms timer: how long the window could
// not react to the operator. Shared by the benches that measure responsiveness.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <vector>

class GapMeter
{
public:
    GapMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_gaps.push_back(m_clock.restart());
            m_longest = std::max(m_longest, m_gaps.back());
        });
    }
    void start()
    {
        m_longest = 0;
        m_gaps.clear();
        m_clock.start();
        m_timer.start();
    }
    qint64 stop()
    {
        m_timer.stop();
        return std::max(m_longest, m_clock.elapsed());
    }
    // How many gaps were longer than `ms`: one long pause is often the machine, many the program.
    qsizetype gapsLongerThan(qint64 ms) const
    {
        return std::count_if(m_gaps.begin(), m_gaps.end(), [ms](qint64 gap) { return gap > ms; });
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
    std::vector<qint64> m_gaps;
};
