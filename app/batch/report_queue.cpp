#include "app/batch/report_queue.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace batch {
namespace {

// Without an eventfd the wait looks for reports this often instead of being woken.
constexpr int kFallbackPollMs = 100;

} // namespace

CReportQueue::CReportQueue()
    : m_postedFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{}

CReportQueue::~CReportQueue()
{
    if (m_postedFd >= 0)
        ::close(m_postedFd);
}

void CReportQueue::PostDownloadDone(std::uint32_t threadId)
{
    {
        const std::lock_guard lock(m_mutex);
        m_reports.push_back(threadId);
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_postedFd, &one, sizeof one);
}

std::optional<std::uint32_t> CReportQueue::Take(int wakeFd)
{
    for (;;) {
        {
            const std::lock_guard lock(m_mutex);
            if (!m_reports.empty()) {
                const std::uint32_t threadId = m_reports.front();
                m_reports.pop_front();
                return threadId;
            }
        }
        // A report posted since the look above has left the eventfd readable.
        pollfd fds[2] = {{m_postedFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        if (::poll(fds, 2, m_postedFd < 0 ? kFallbackPollMs : -1) < 0)
            continue; // EINTR: look again
        if (fds[1].revents != 0)
            return std::nullopt;
        if (fds[0].revents != 0) {
            std::uint64_t count;
            [[maybe_unused]] const ssize_t got = ::read(m_postedFd, &count, sizeof count);
        }
    }
}

} // namespace batch
