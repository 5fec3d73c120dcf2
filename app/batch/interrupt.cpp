#include "app/batch/interrupt.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace batch {
namespace {

std::atomic<int> received{0};
std::atomic<int> wakeWriteFd{-1};
// Handlers between their first and last step: the guard closes the pipe only when none is, so
// that no handler writes into a descriptor closed and perhaps reused since.
std::atomic<int> handlersRunning{0};
static_assert(std::atomic<int>::is_always_lock_free, "used from a signal handler");

extern "C" void NoteSignal(int signal)
{
    const int savedErrno = errno;
    handlersRunning.fetch_add(1);
    int none = 0;
    received.compare_exchange_strong(none, signal);
    const char byte = 1;
    // A full pipe is readable already; this byte is not needed then.
    [[maybe_unused]] const ssize_t written = ::write(wakeWriteFd.load(), &byte, 1);
    handlersRunning.fetch_sub(1);
    errno = savedErrno;
}

} // namespace

InterruptGuard::InterruptGuard(std::initializer_list<int> noted, std::initializer_list<int> ignored)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_wakeReadFd = fds[0];
        m_wakeWriteFd = fds[1];
    }
    received.store(0);
    wakeWriteFd.store(m_wakeWriteFd);
    Install(noted, &NoteSignal);
    Install(ignored, SIG_IGN);
}

InterruptGuard::~InterruptGuard()
{
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
        ::sigaction(it->first, &it->second, nullptr);
    // A handler that began before the old dispositions came back may still be writing.
    wakeWriteFd.store(-1);
    while (handlersRunning.load() != 0)
        std::this_thread::yield();
    for (const int fd : {m_wakeReadFd, m_wakeWriteFd}) {
        if (fd >= 0)
            ::close(fd);
    }
}

void InterruptGuard::Install(std::initializer_list<int> which, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : which) {
        struct sigaction old = {};
        if (::sigaction(signal, &action, &old) == 0)
            m_saved.emplace_back(signal, old);
    }
}

int InterruptGuard::Received() const
{
    return received.load();
}

void InterruptGuard::Acknowledge()
{
    // The pipe is emptied first: a signal in between leaves its byte, and wakes again.
    char bytes[64];
    while (m_wakeReadFd >= 0 && ::read(m_wakeReadFd, bytes, sizeof bytes) > 0) {
    }
    received.store(0);
}

} // namespace batch
