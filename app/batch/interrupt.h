#pragma once

#include <csignal>
#include <initializer_list>
#include <utility>
#include <vector>

namespace batch {

// What a shell reports for a process that signal ended: 128 + its number.
constexpr int ExitStatusFor(int signal)
{
    return 128 + signal;
}

// While it lives, the noted signals no longer end the process: the first one to come is kept
// and wakes whoever waits on WakeFd(), so that a run can be stopped and its pages deleted
// first. The ignored ones (SIGPIPE) are ignored meanwhile, so that a closed output shows as a
// failed write. The old dispositions come back after. One guard at a time.
class InterruptGuard
{
public:
    explicit InterruptGuard(std::initializer_list<int> noted = {SIGHUP, SIGINT, SIGQUIT, SIGTERM},
                            std::initializer_list<int> ignored = {SIGPIPE});
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // Readable from a noted signal until Acknowledge(); -1 if the system gave no descriptor.
    int WakeFd() const { return m_wakeReadFd; }
    // The first noted signal that came, or 0.
    int Received() const;
    // Forgets the signals that came so far; the next one wakes again.
    void Acknowledge();

private:
    void Install(std::initializer_list<int> which, void (*handler)(int));

    int m_wakeReadFd = -1, m_wakeWriteFd = -1; // the self-pipe the handler writes a byte to
    std::vector<std::pair<int, struct sigaction>> m_saved; // signal, disposition before
};

} // namespace batch
