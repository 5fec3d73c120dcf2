#pragma once

#include "search/run_ports.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <thread>

namespace app {

// The end of the window's run away from the main thread, so that the window keeps repainting
// and taking keys while the plug-in merges and the page files are deleted: each step runs on a
// thread of its own, and its done comes back to the thread that made this object by a queued
// call, as the workers' reports do. The queue hands over under its lock, so what the step
// wrote is visible to done.
class EndPhaseThread : public search::IEndPhaseRunner
{
public:
    EndPhaseThread() = default;
    // Waits for a step under way.
    ~EndPhaseThread() override;
    EndPhaseThread(const EndPhaseThread&) = delete;
    EndPhaseThread& operator=(const EndPhaseThread&) = delete;

    void Run(std::function<void()> step, std::function<void()> done) override;
    void Wait() override;

private:
    void Join();

    QObject m_receiver; // lives on the creating thread; its queue carries each done
    std::thread m_thread;
    // Counts the steps handed over and the waits: a done queued before a wait is dropped.
    std::uint64_t m_ticket = 0;
};

} // namespace app
