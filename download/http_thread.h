#pragma once

#include "download/download_messages.h"
#include "download/message_thread.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

struct Curl_URL;
struct curl_slist;

// The download worker. It keeps one libcurl easy handle (its session and connection) for its
// whole life and fetches one page per job into the file the main window names.
//
// The creator calls CreateThread(), sets m_hNotifyWnd, SetServer, SetReferer (and, if wanted,
// SetProfilePath and SetTimeouts), then ResumeThread(). The worker reports with
// PostDownloadDone once when it is ready and once after every job. Only between a report and
// the next UWM_START_DOWNLOAD may the main window write m_strObject and m_strSaveFile or read
// m_nError; the worker touches them only while it handles that message. Failures never leave
// the worker as exceptions: their traces are m_nError, the report and "error.log".
class CHttpThread : public CMessageThread
{
public:
    static constexpr std::chrono::milliseconds kConnectTimeout{30000};
    static constexpr std::chrono::seconds kStallTimeout{60};

    CHttpThread() = default;
    ~CHttpThread() override;

    void SetServer(const char* server) { m_strServer = server ? server : ""; }
    void SetReferer(const char* referer) { m_strReferer = referer ? referer : ""; }
    // The configuration file the proxy keys are read from; by default "Vistrel.ini" in the
    // program folder.
    void SetProfilePath(std::string path) { m_strProfilePath = std::move(path); }
    // A transfer fails when connecting takes longer than connect, or when no byte arrives for
    // stall (noticed within about a second more).
    void SetTimeouts(std::chrono::milliseconds connect, std::chrono::seconds stall);

    static void WriteErrorLog(std::string_view text);

    // Written by the creator before the thread runs.
    IDownloadNotify* m_hNotifyWnd = nullptr; // not owned; receives the reports
    // Written by the main window once per job, read by the worker during the job.
    std::string m_strObject;   // path and query of the page
    std::string m_strSaveFile; // the file that receives the body
    // The outcome of the latest job, read by the main window after the report that follows.
    std::int32_t m_nError = DLERR_NONE;

protected:
    bool InitInstance() override;
    int Run() override;
    int ExitInstance() override;
    void OnThreadMessage(const CThreadMessage& msg) override;

    void OnStartDownload(std::uintptr_t wParam, std::intptr_t lParam);
    void OnQuitThread(std::uintptr_t wParam, std::intptr_t lParam);
    bool Download();

private:
    bool ConfigureSession();
    void CloseHandles();
    bool Fail(std::int32_t error, std::string_view logText);
    std::string CurlErrorText(int code) const;
    void Report();

    void* m_pSession = nullptr;        // CURL: the easy handle used for every job
    Curl_URL* m_pConnection = nullptr; // "http://" + m_strServer, checked once
    std::string m_strServer;           // host, or host:port
    std::string m_strReferer;          // empty: no Referer header
    std::string m_strProfilePath;
    std::chrono::milliseconds m_connectTimeout = kConnectTimeout;
    std::chrono::seconds m_stallTimeout = kStallTimeout;
    curl_slist* m_pHeaderList = nullptr; // the fixed request headers
    char m_szCurlError[256] = {};        // libcurl's detailed text of the last failure
};
