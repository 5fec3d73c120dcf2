#include "app/batch/report_queue.h"

namespace batch {

void CReportQueue::PostDownloadDone(std::uint32_t threadId)
{
    {
        const std::lock_guard lock(m_mutex);
        m_reports.push_back(threadId);
    }
    m_posted.notify_one();
}

std::optional<std::uint32_t> CReportQueue::Take(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    if (!m_posted.wait_for(lock, timeout, [this] { return !m_reports.empty(); }))
        return std::nullopt;
    const std::uint32_t threadId = m_reports.front();
    m_reports.pop_front();
    return threadId;
}

} // namespace batch
