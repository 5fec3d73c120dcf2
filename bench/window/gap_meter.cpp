#include "gap_meter.h"

namespace bench {

GapMeter::GapMeter(std::function<QString()> status, QStringList watched)
    : m_status(std::move(status))
    , m_watched(std::move(watched))
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
    const Gap gap{now - m_lastNs, m_lastStatus, status};
    if (gap.ns > m_longest.ns)
        m_longest = gap;
    const bool watched = m_watched.contains(m_lastStatus) || m_watched.contains(status);
    if (watched && gap.ns > m_longestWatched.ns)
        m_longestWatched = gap;
    if (m_watched.contains(status))
        m_firstSeen.try_emplace(status, now);
    m_lastNs = now;
    m_lastStatus = status;
    ++m_ticks;
}

} // namespace bench
