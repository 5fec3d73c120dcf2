#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace download {

class CSocketWatch;

// When one job must end although its server has not finished: the owner has aborted it,
// nothing has arrived for the stall time, or the whole job (every redirect included) has run
// longer than the job time. The first reason found sticks.
//
// Lives on the worker's thread for one job; only the abort flag is written from elsewhere.
class CJobLimits
{
public:
    using Clock = std::chrono::steady_clock;
    enum class Verdict { Go, Aborted, Stalled, TimedOut };

    // The job starts now. sockets tells when the connection last received data, header bytes
    // included; the flag and the watch must outlive this object.
    CJobLimits(const std::atomic<bool>& abort, const CSocketWatch& sockets,
               std::chrono::milliseconds stall, std::chrono::milliseconds job);

    // Bytes were handed over by libcurl.
    void Touch() { m_lastByte = Clock::now(); }
    // Go, or why the job must end now.
    Verdict Check();
    Verdict GetVerdict() const { return m_verdict; }
    // How long a wait for the network may last before Check is due again (at most a second).
    int NextCheckInMs() const;

    // libcurl's progress callback (called at least about once a second, and on every pass of
    // the transfer); userdata is the limits. Non-zero ends the transfer.
    static int OnProgress(void* userdata, std::int64_t, std::int64_t, std::int64_t, std::int64_t);

private:
    const std::atomic<bool>& m_abort;
    const CSocketWatch& m_sockets;
    std::chrono::milliseconds m_stall;
    Clock::time_point m_deadline;
    Clock::time_point m_lastByte;
    Verdict m_verdict = Verdict::Go;
};

// Runs one transfer of the easy handle curl on the multi handle multi until it ends or limits
// end it, and returns its CURLcode: CURLE_ABORTED_BY_CALLBACK when the limits ended it. The
// wait for the network ends early when the multi handle is woken (curl_multi_wakeup).
int RunTransfer(void* multi, void* curl, CJobLimits& limits);

} // namespace download
