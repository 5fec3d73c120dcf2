#pragma once

#include "download/download_messages.h"
#include "download/message_thread.h"
#include "download/socket_watch.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

struct Curl_URL;
struct curl_slist;

class CResponseSink;

namespace download {
class CJobLimits;
struct CJobFailure;
} // namespace download

// The download worker. It keeps one libcurl easy handle (its session and connection) for its
// whole life and fetches one page per job into the file the main window names.
//
// The creator calls CreateThread(), sets m_hNotifyWnd, SetServer, SetReferer (and, if wanted,
// SetProfilePath and SetTimeouts), then ResumeThread(). The worker reports with
// PostDownloadDone once when it is ready and once after every job; a worker that cannot start
// reports once with DLERR_INTERNET and ends. Only between a report and the next
// UWM_START_DOWNLOAD may the main window write m_strObject and m_strSaveFile or read m_nError
// and m_strReason; the worker touches them only while it starts or handles that message.
// Failures never leave the worker as exceptions: their traces are m_nError, m_strReason, the
// report and "error.log".
class CHttpThread : public CMessageThread
{
public:
    static constexpr std::chrono::milliseconds kConnectTimeout{30000};
    static constexpr std::chrono::seconds kStallTimeout{60};
    static constexpr std::chrono::milliseconds kJobTimeout{std::chrono::minutes(10)};

    CHttpThread();
    ~CHttpThread() override;

    void SetServer(const char* server) { m_strServer = server ? server : ""; }
    // A referrer holding CR or LF would add header lines: the worker then refuses to start.
    void SetReferer(const char* referer) { m_strReferer = referer ? referer : ""; }
    // The configuration file the proxy keys are read from; by default "Vistrel.ini" in the
    // program folder.
    void SetProfilePath(std::string path) { m_strProfilePath = std::move(path); }
    // A job fails when connecting takes longer than connect, when nothing arrives on the
    // connection for stall (header bytes count as they arrive), or when the whole job, every
    // redirect included, takes longer than job.
    void SetTimeouts(std::chrono::milliseconds connect, std::chrono::seconds stall,
                     std::chrono::milliseconds job = kJobTimeout);

    // Thread-safe, for any thread at any time: the transfer under way (if any) ends within a
    // moment as a failed job, and every later job fails at once without network traffic. The
    // destructor aborts too, so destroying a worker never waits on the network.
    void Abort();

    static void WriteErrorLog(std::string_view text);

    // Written by the creator before the thread runs.
    IDownloadNotify* m_hNotifyWnd = nullptr; // not owned; receives the reports
    // Written by the main window once per job, read by the worker during the job.
    std::string m_strObject;   // request target, sent byte for byte as given
    std::string m_strSaveFile; // the file that receives the body
    // The outcome of the latest job (or of a failed start), read by the main window after the
    // report that follows.
    std::int32_t m_nError = DLERR_NONE;
    // Why that job failed, in short UTF-8 for the user; empty on success:
    //   "HTTP 404"                     the final status was not 200 (DLERR_STATUS)
    //   "応答が不正です (<what>)"      a 200 answer whose body cannot be the page: disagreeing
    //                                  or broken Content-Length, a Content-Encoding other than
    //                                  identity, e.g. "(Content-Encoding: gzip)" (DLERR_STATUS)
    //   "ページが大きすぎます (16 MiB 超)" the body (or its announced length) is over the
    //                                  "MaxPageSize" limit; the file is left empty (DLERR_STATUS)
    //   "応答が途中で切れました"       the connection closed inside the header (DLERR_INTERNET)
    //   "要求先が不正です"             m_strObject holds a blank or control byte (DLERR_STATUS)
    //   "接続できません (<libcurl>)"   no connection to the server or proxy (DLERR_INTERNET)
    //   "通信エラー (<libcurl>)"       any other transfer failure (DLERR_INTERNET)
    //   "タイムアウト"                 connect, stall or job time ran out (DLERR_INTERNET)
    //   "中止"                         Abort() was called (DLERR_INTERNET; not logged)
    //   the file error's text          e.g. "Disk full while accessing /tmp/~TVab12." (DLERR_FILE)
    //   "接続を準備できません (<why>)" the worker could not start (DLERR_INTERNET)
    // <libcurl> is libcurl's short text for its error code, e.g. "Couldn't connect to server".
    std::string m_strReason;

protected:
    bool InitInstance() override;
    int Run() override;
    int ExitInstance() override;
    void OnThreadMessage(const CThreadMessage& msg) override;

    void OnStartDownload(std::uintptr_t wParam, std::intptr_t lParam);
    void OnQuitThread(std::uintptr_t wParam, std::intptr_t lParam);
    bool Download();

private:
    bool StartSession();
    bool ConfigureSession();
    void CloseHandles();
    bool Finish(CResponseSink& sink, const download::CJobLimits& limits, int rc, long status);
    bool Fail(const download::CJobFailure& failure);
    bool FailStart(std::string_view logText);
    bool FailTransfer(const download::CJobLimits& limits, int code);
    std::string CurlErrorText(int code) const;
    void Report();

    void* m_pSession = nullptr;        // CURL: the easy handle used for every job
    Curl_URL* m_pConnection = nullptr; // "http://" + m_strServer, checked once
    std::string m_strServer;           // host, or host:port
    std::string m_strReferer;          // empty: no Referer header
    std::string m_strProfilePath;
    std::chrono::milliseconds m_connectTimeout = kConnectTimeout;
    std::chrono::seconds m_stallTimeout = kStallTimeout;
    std::chrono::milliseconds m_jobTimeout = kJobTimeout;
    int m_pageLimitMiB;                  // read with the proxy keys at start
    bool m_bHttpProxy = false;           // requests go out in absolute form, through a proxy
    curl_slist* m_pHeaderList = nullptr; // the fixed request headers
    char m_szCurlError[256] = {};        // libcurl's detailed text of the last failure
    download::CSocketWatch m_sockets;    // the open connections, asked when data last came
    void* m_pMulti;                      // CURLM: runs the transfers; Abort() wakes it
    std::atomic<bool> m_bAbort{false};
};
