#pragma once

#include <cstdint>
#include <string>

// Messages between the main window and the download workers, numbered from the application
// message base WM_APP (0x8000) as the program has always numbered them.
inline constexpr std::uint32_t WM_APP_BASE = 0x8000;
inline constexpr std::uint32_t UWM_DOWNLOAD_DONE = WM_APP_BASE + 1;  // worker -> main window
inline constexpr std::uint32_t UWM_START_DOWNLOAD = WM_APP_BASE + 3; // main window -> worker
inline constexpr std::uint32_t UWM_QUIT_THREAD = WM_APP_BASE + 4;    // main window -> worker

// Outcome codes a worker keeps in m_nError and sends with each report.
inline constexpr std::int32_t DLERR_NONE = 0;
inline constexpr std::int32_t DLERR_INTERNET = 1; // the worker is unusable: give it no more jobs
// The server's answer is no page (final status not 200, broken, too large): the job failed.
inline constexpr std::int32_t DLERR_STATUS = 2;
inline constexpr std::int32_t DLERR_FILE = 3; // destination could not be written

namespace download {

// One job, handed to a worker inside its UWM_START_DOWNLOAD: once posted, only the worker
// touches it.
struct Job
{
    std::string target;   // the request target, sent byte for byte as given
    std::string saveFile; // the page file: the worker creates it and stores the body there
};

// What a report says about the worker that sent it.
enum class Status {
    Ready,   // started, no job done yet
    Done,    // its job's page is stored
    Failed,  // its job failed; it can take the next one
    Retired, // its start or its connection failed: it takes no further job
};

// A worker's report (UWM_DOWNLOAD_DONE), a value of its own: nothing of the worker is read
// after it is posted.
struct Report
{
    std::uint32_t threadId = 0;
    Status status = Status::Ready;
    std::int32_t error = DLERR_NONE; // the DLERR_ code behind status
    std::string reason;              // short UTF-8 for the user; empty unless it failed
    long httpStatus = 0;             // of the final answer; 0 when none came
};

// What a report after a job with the outcome code error says about the worker.
inline Status StatusAfterJob(std::int32_t error)
{
    switch (error) {
    case DLERR_NONE:
        return Status::Done;
    case DLERR_INTERNET:
        return Status::Retired;
    default:
        return Status::Failed;
    }
}

// Receiver of the workers' reports (the main window). PostDownloadDone is called on the
// worker's own thread and must only queue the report for the receiver's thread: the worker
// goes on at once.
class IDownloadNotify
{
public:
    virtual ~IDownloadNotify() = default;
    virtual void PostDownloadDone(Report report) = 0;
};

} // namespace download
