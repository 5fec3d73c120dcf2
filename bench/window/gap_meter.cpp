#include "gap_meter.h"

namespace bench {

GapMeter::GapMeter(std::function<QString()> status)
    : m_status(std::move(status))
{
    m_timer.setInterval(10);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &GapMeter::Tick);
}

void GapMeter::Start()
{
    m_clock.start();
    m_lastNs = 0;
    m_lastStatus = m_status();
    m_timer.start();
}

void GapMeter::Stop()
{
    Tick(); // a block that lasted until the end counts too
    m_timer.stop();
}

void GapMeter::Tick()
{
    const qint64 now = m_clock.nsecsElapsed();
    const QString status = m_status();
    if (now - m_lastNs > m_longest.ns)
        m_longest = {now - m_lastNs, m_lastStatus, status};
    m_lastNs = now;
    m_lastStatus = status;
    ++m_ticks;
}

} // namespace bench
