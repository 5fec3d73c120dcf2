#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace bench {

// How long the event loop went without running a timer that asks to tick every 10 ms: the
// longest time the window could not repaint or take a key. Each gap is noted with what the
// status bar said when it began and when it ended, which tells which step of a run it was.
class GapMeter : public QObject
{
public:
    struct Gap
    {
        qint64 ns = 0;
        QString before, after; // the status text at the tick before the gap, and after it
    };

    // status: reads the status bar's text at each tick.
    explicit GapMeter(std::function<QString()> status);

    void Start();
    void Stop();

    const Gap& Longest() const { return m_longest; }
    long Ticks() const { return m_ticks; }

private:
    void Tick();

    std::function<QString()> m_status;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    QString m_lastStatus;
    Gap m_longest;
    long m_ticks = 0;
};

} // namespace bench
