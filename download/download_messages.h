#pragma once

#include <cstdint>

// Messages between the main window and the download workers, numbered from the application
// message base WM_APP (0x8000) as the program has always numbered them.
inline constexpr std::uint32_t WM_APP_BASE = 0x8000;
inline constexpr std::uint32_t UWM_DOWNLOAD_DONE = WM_APP_BASE + 1;  // worker -> main window
inline constexpr std::uint32_t UWM_START_DOWNLOAD = WM_APP_BASE + 3; // main window -> worker
inline constexpr std::uint32_t UWM_QUIT_THREAD = WM_APP_BASE + 4;    // main window -> worker

// Outcome codes a worker leaves in m_nError for the main window to read after a report.
inline constexpr std::int32_t DLERR_NONE = 0;
inline constexpr std::int32_t DLERR_INTERNET = 1; // the worker is unusable: give it no more jobs
// The server's answer is no page (final status not 200, broken, too large): the job failed.
inline constexpr std::int32_t DLERR_STATUS = 2;
inline constexpr std::int32_t DLERR_FILE = 3; // destination could not be written

// Receiver of the workers' reports (the main window). PostDownloadDone is called on the
// worker's own thread and must only queue the report for the receiver's thread: the worker
// goes on at once. Whatever the worker wrote before the call must be visible to the receiver
// when it handles the report, so the queue has to hand over through a lock.
class IDownloadNotify
{
public:
    virtual ~IDownloadNotify() = default;
    virtual void PostDownloadDone(std::uint32_t threadId) = 0;
};
