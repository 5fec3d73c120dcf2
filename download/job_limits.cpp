#include "download/job_limits.h"

#include "download/socket_watch.h"

#include <algorithm>
#include <curl/curl.h>
#include <type_traits>

static_assert(std::is_same_v<curl_off_t, std::int64_t>, "OnProgress must match libcurl's type");

namespace download {

JobLimits::JobLimits(const std::atomic<bool>& abort, const SocketWatch& sockets, const Clock& clock,
                     std::chrono::milliseconds stall, std::chrono::milliseconds job)
    : m_abort(abort)
    , m_sockets(sockets)
    , m_clock(clock)
    , m_stall(stall)
    , m_deadline(clock.Now() + job)
    , m_lastByte(clock.Now())
{}

JobLimits::Verdict JobLimits::Check()
{
    if (m_verdict != Verdict::Go)
        return m_verdict;
    const Clock::TimePoint now = m_clock.Now();
    if (m_abort.load(std::memory_order_relaxed)) {
        m_verdict = Verdict::Aborted;
    } else if (now >= m_deadline) {
        // A server that drips one byte just inside every stall period ends here.
        m_verdict = Verdict::TimedOut;
    } else if (now - m_lastByte >= m_stall) {
        // Only now is the kernel asked (several calls a check, many checks a job): bytes of a
        // header line still trickling in have reached no callback yet.
        if (const auto received = m_sockets.LastReceived(now); received && *received > m_lastByte)
            m_lastByte = *received;
        if (now - m_lastByte >= m_stall)
            m_verdict = Verdict::Stalled;
    }
    return m_verdict;
}

int JobLimits::NextCheckInMs() const
{
    using std::chrono::milliseconds;
    const Clock::TimePoint now = m_clock.Now();
    const Clock::TimePoint due = std::min(m_deadline, m_lastByte + m_stall);
    const auto wait = std::chrono::duration_cast<milliseconds>(due - now).count() + 1;
    return static_cast<int>(std::clamp<std::int64_t>(wait, 1, 1000));
}

int JobLimits::OnProgress(void* userdata, std::int64_t, std::int64_t, std::int64_t, std::int64_t)
{
    return static_cast<JobLimits*>(userdata)->Check() == Verdict::Go ? 0 : 1;
}

int RunTransfer(void* multi, void* curl, JobLimits& limits)
{
    CURLMcode mc = curl_multi_add_handle(multi, curl);
    CURLcode result = CURLE_FAILED_INIT;
    while (mc == CURLM_OK) {
        int running = 0;
        mc = curl_multi_perform(multi, &running);
        int queued = 0;
        const CURLMsg* msg = mc == CURLM_OK ? curl_multi_info_read(multi, &queued) : nullptr;
        if (msg && msg->msg == CURLMSG_DONE) {
            result = msg->data.result;
            break;
        }
        // Checked here as well: libcurl runs the progress callback not in every state, and an
        // abort must also end a wait for a connection.
        if (mc == CURLM_OK && limits.Check() != JobLimits::Verdict::Go) {
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        if (mc == CURLM_OK)
            mc = curl_multi_poll(multi, nullptr, 0, limits.NextCheckInMs(), nullptr);
    }
    curl_multi_remove_handle(multi, curl);
    return result;
}

} // namespace download
