#include "app/batch/interrupt.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace batch {
namespace {

std::atomic<int> received{0};
// The self-pipe: made once and kept for the process's life, so that a handler still running
// on another thread as a guard goes never writes into a descriptor closed and reused since.
std::atomic<int> wakeWriteFd{-1};
int wakeReadFd = -1;
static_assert(std::atomic<int>::is_always_lock_free, "used from a signal handler");

extern "C" void NoteSignal(int signal)
{
    const int savedErrno = errno;
    int none = 0;
    received.compare_exchange_strong(none, signal);
    const char byte = 1;
    // A full pipe is readable already; this byte is not needed then.
    [[maybe_unused]] const ssize_t written = ::write(wakeWriteFd.load(), &byte, 1);
    errno = savedErrno;
}

void MakeWakePipe()
{
    static std::once_flag made;
    std::call_once(made, [] {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
            wakeReadFd = fds[0];
            wakeWriteFd.store(fds[1]);
        }
    });
}

} // namespace

InterruptGuard::InterruptGuard(std::initializer_list<int> noted, std::initializer_list<int> ignored)
{
    MakeWakePipe();
    Acknowledge(); // what came before this guard is not its business
    Install(noted, &NoteSignal);
    Install(ignored, SIG_IGN);
}

InterruptGuard::~InterruptGuard()
{
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
        ::sigaction(it->first, &it->second, nullptr);
}

void InterruptGuard::Install(std::initializer_list<int> signals, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : signals) {
        struct sigaction old = {};
        if (::sigaction(signal, &action, &old) == 0)
            m_saved.emplace_back(signal, old);
    }
}

int InterruptGuard::WakeFd() const
{
    return wakeReadFd;
}

int InterruptGuard::Received() const
{
    return received.load();
}

void InterruptGuard::Acknowledge()
{
    // The pipe is emptied first: a signal in between leaves its byte, and wakes again.
    char bytes[64];
    while (wakeReadFd >= 0 && ::read(wakeReadFd, bytes, sizeof bytes) > 0) {
    }
    received.store(0);
}

} // namespace batch
