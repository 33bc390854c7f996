// Ticks caught up once a frame.
#include "BatchedTimer.h"

#include <algorithm>

namespace morvane {

BatchedTimer::BatchedTimer(QObject *parent) : QObject(parent)
{
    m_wake.setTimerType(Qt::PreciseTimer);
    connect(&m_wake, &QTimer::timeout, this, &BatchedTimer::wake);
}

void BatchedTimer::setInterval(int milliseconds)
{
    m_interval = std::max(1, milliseconds);
    m_wake.setInterval(std::max(m_interval, m_wakeInterval));
}

void BatchedTimer::setWakeInterval(int milliseconds)
{
    m_wakeInterval = std::max(1, milliseconds);
    m_wake.setInterval(std::max(m_interval, m_wakeInterval));
}

void BatchedTimer::start()
{
    m_wake.setInterval(std::max(m_interval, m_wakeInterval));
    m_clock.start();
    m_ticksDelivered = 0;
    m_wake.start();
}

void BatchedTimer::stop() { m_wake.stop(); }

void BatchedTimer::wake()
{
    const qint64 due = m_clock.elapsed() / m_interval;
    int ticks = int(std::min<qint64>(due - m_ticksDelivered, MaxTicksPerWake));
    // Ticks that the cap drops are dropped for good, as a held-up timer's would be.
    m_ticksDelivered = due;
    // A tick's handler may stop the timer; no tick is delivered after that.
    while (ticks-- > 0 && m_wake.isActive())
        emit timeout();
}

} // namespace morvane
