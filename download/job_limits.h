#pragma once

#include "download/clock.h"

#include <atomic>
#include <chrono>
#include <cstdint>

namespace download {

class SocketWatch;

// When one job must end although its server has not finished: the owner has aborted it,
// nothing has arrived for the stall time, or the whole job (every redirect included) has run
// longer than the job time. The first reason found sticks.
//
// Lives on the worker's thread for one job; only the abort flag is written from elsewhere.
class JobLimits
{
public:
    enum class Verdict { Go, Aborted, Stalled, TimedOut };

    // The job starts now, as clock tells. sockets tells when the connection last received
    // data, header bytes included; the flag, the watch and the clock must outlive this object.
    JobLimits(const std::atomic<bool>& abort, const SocketWatch& sockets, const Clock& clock,
              std::chrono::milliseconds stall, std::chrono::milliseconds job);

    // Bytes were handed over by libcurl.
    void Touch() { m_lastByte = m_clock.Now(); }
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
    const SocketWatch& m_sockets;
    const Clock& m_clock;
    std::chrono::milliseconds m_stall;
    Clock::TimePoint m_deadline;
    Clock::TimePoint m_lastByte;
    Verdict m_verdict = Verdict::Go;
};

// Runs one transfer of the easy handle curl on the multi handle multi until it ends or limits
// end it, and returns its CURLcode: CURLE_ABORTED_BY_CALLBACK when the limits ended it. The
// wait for the network ends early when the multi handle is woken (curl_multi_wakeup).
int RunTransfer(void* multi, void* curl, JobLimits& limits);

} // namespace download
