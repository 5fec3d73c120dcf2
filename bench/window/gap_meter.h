#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <map>

namespace bench {

// How long the event loop went without running a timer that asks to tick every 10 ms: the
// longest time the window could not repaint or take a key. Each gap is noted with what the
// status bar said when it began and when it ended, which tells which step of a run it was;
// gaps next to a watched text (a step of the run's end) are also kept apart.
class GapMeter : public QObject
{
public:
    struct Gap
    {
        qint64 ns = 0;
        QString before, after; // the status text at the tick before the gap, and after it
    };

    // status: reads the status bar's text at each tick.
    GapMeter(std::function<QString()> status, QStringList watched);

    void Start();
    void Stop();

    const Gap& Longest() const { return m_longest; }
    // The longest gap that began or ended while a watched text was shown.
    const Gap& LongestWatched() const { return m_longestWatched; }
    // When each watched text was first seen, in ns since Start; absent when it never was.
    const std::map<QString, qint64>& FirstSeen() const { return m_firstSeen; }
    long Ticks() const { return m_ticks; }

private:
    void Tick();

    std::function<QString()> m_status;
    QStringList m_watched;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    QString m_lastStatus;
    Gap m_longest, m_longestWatched;
    std::map<QString, qint64> m_firstSeen;
    long m_ticks = 0;
};

} // namespace bench
