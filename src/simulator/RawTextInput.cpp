#include "RawTextInput.h"

#include "ControllerTiming.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr char Xon = 0x11;
constexpr char Xoff = 0x13;

} // namespace

RawTextInput::RawTextInput(QObject* parent)
    : QObject(parent)
{
    m_drainTick.setTimerType(Qt::PreciseTimer);
    m_drainTick.setInterval(ControllerTiming::TextDrainTickMs);
    connect(&m_drainTick, &QTimer::timeout, this, &RawTextInput::drain);
    m_clock.start();
    setSize(ControllerTiming::TextCapacity, ControllerTiming::TextCharsPerSecond);
}

void RawTextInput::setSize(int capacity, int charsPerSecond)
{
    m_capacity = std::max(1, capacity);
    m_rate = std::max(1, charsPerSecond);
}

bool RawTextInput::take()
{
    drain();
    if (m_fill + 1 > m_capacity)
        return false;
    m_fill += 1;
    // A character partly taken out still counts as there.
    if (!m_paused && std::ceil(m_fill) >= highWater()) {
        m_paused = true;
        Q_EMIT flowControl(Xoff);
    }
    if (!m_drainTick.isActive())
        m_drainTick.start();
    return true;
}

void RawTextInput::clear()
{
    m_drainTick.stop();
    m_fill = 0;
    m_paused = false;
}

void RawTextInput::drain()
{
    const double seconds = double(m_clock.nsecsElapsed()) / 1e9;
    m_clock.restart();
    m_fill = std::max(0.0, m_fill - seconds * m_rate);
    if (m_paused && m_fill <= lowWater()) {
        m_paused = false;
        Q_EMIT flowControl(Xon);
    }
    if (m_fill <= 0)
        m_drainTick.stop();
}

int RawTextInput::highWater() const
{
    return m_capacity - std::clamp(m_capacity / 8, 2, 32);
}
