#pragma once

#include "download/clock.h"
#include "download/download_messages.h"
#include "download/message_thread.h"
#include "download/settings.h"
#include "download/socket_watch.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

struct Curl_URL;
struct curl_slist;

namespace download {
class JobLimits;
class ResponseSink;
struct JobFailure;
} // namespace download

// The download worker. It keeps one libcurl easy handle (its session and connection) for its
// whole life and fetches one page per job into the page file the job names.
//
// The creator calls CreateThread(), sets m_hNotifyWnd, SetServer, SetReferer and SetSettings
// (and, for a test, SetClock), then ResumeThread(). The worker reports once when it is ready
// and once after every job; a worker that cannot start reports once as Retired and ends. A job
// comes as a value in its UWM_START_DOWNLOAD (StartDownload), and each report is a value of its
// own: the worker's fields are its own thread's alone. Failures never leave the worker as
// exceptions: their traces are the report and "error.log".
class CHttpThread : public download::MessageThread
{
public:
    CHttpThread();
    ~CHttpThread() override;

    void SetServer(const char* server) { m_strServer = server ? server : ""; }
    // A referrer holding CR or LF would add header lines: the worker then refuses to start.
    void SetReferer(const char* referer) { m_strReferer = referer ? referer : ""; }
    void SetSettings(download::Settings settings) { m_settings = std::move(settings); }
    // Where the job limits read the time; must outlive the worker. By default the system's.
    void SetClock(const download::Clock& clock) { m_clock = &clock; }

    // Posts UWM_START_DOWNLOAD with the job; the worker reports when it has ended.
    void StartDownload(download::Job job);

    // Thread-safe, for any thread at any time: the transfer under way (if any) ends within a
    // moment as a failed job, and every later job fails at once without network traffic. The
    // destructor aborts too, so destroying a worker never waits on the network.
    void Abort();

    static void WriteErrorLog(std::string_view text);

    // Written by the creator before the thread runs.
    download::IDownloadNotify* m_hNotifyWnd = nullptr; // not owned; receives the reports

    // The reasons a report gives, in short UTF-8 for the user:
    //   "HTTP 404"                     the final status was not 200 (DLERR_STATUS)
    //   "応答が不正です (<what>)"      a 200 answer whose body cannot be the page: disagreeing
    //                                  or broken Content-Length, a Content-Encoding other than
    //                                  identity, e.g. "(Content-Encoding: gzip)" (DLERR_STATUS)
    //   "ページが大きすぎます (16 MiB 超)" the body (or its announced length) is over the
    //                                  page limit; the file is left empty (DLERR_STATUS)
    //   "応答が途中で切れました"       the connection closed inside the header (DLERR_INTERNET)
    //   "要求先が不正です"             the target holds a blank or control byte (DLERR_STATUS)
    //   "接続できません (<libcurl>)"   no connection to the server or proxy (DLERR_INTERNET)
    //   "通信エラー (<libcurl>)"       any other transfer failure (DLERR_INTERNET)
    //   "タイムアウト"                 connect, stall or job time ran out (DLERR_INTERNET)
    //   "中止"                         Abort() was called (DLERR_INTERNET; not logged)
    //   the file error's text          e.g. "Disk full while accessing /tmp/~TVab12." (DLERR_FILE)
    //   "接続を準備できません (<why>)" the worker could not start (DLERR_INTERNET)
    // <libcurl> is libcurl's short text for its error code, e.g. "Couldn't connect to server".

protected:
    bool InitInstance() override;
    int Run() override;
    int ExitInstance() override;
    void OnThreadMessage(download::ThreadMessage& message) override;

    void OnStartDownload(download::Job job);
    void OnQuitThread();
    bool Download();

private:
    bool StartSession();
    bool ConfigureSession();
    void CloseHandles();
    bool Finish(download::ResponseSink& sink, const download::JobLimits& limits, int rc);
    bool Fail(const download::JobFailure& failure);
    bool FailStart(std::string_view logText);
    bool FailTransfer(const download::JobLimits& limits, int code);
    std::string CurlErrorText(int code) const;
    void Report(download::Status status);

    void* m_pSession = nullptr;         // CURL: the easy handle used for every job
    Curl_URL* m_pConnection = nullptr;  // "http://" + m_strServer, checked once
    std::string m_strServer;            // host, or host:port
    std::string m_strObject;            // the job's request target
    std::string m_strReferer;           // empty: no Referer header
    std::string m_strSaveFile;          // the job's page file
    std::int32_t m_nError = DLERR_NONE; // the outcome of the latest job, or of the start
    std::string m_reason;               // why it failed; empty on success
    long m_httpStatus = 0;              // of the latest job's final answer
    download::Settings m_settings;
    const download::Clock* m_clock = &download::SteadyClock();
    bool m_httpProxy = false;           // requests go out in absolute form, through a proxy
    curl_slist* m_headerList = nullptr; // the fixed request headers
    char m_curlError[256] = {};         // libcurl's detailed text of the last failure
    download::SocketWatch m_sockets;    // the open connections, asked when data last came
    void* m_multi;                      // CURLM: runs the transfers; Abort() wakes it
    std::atomic<bool> m_abort{false};
};
