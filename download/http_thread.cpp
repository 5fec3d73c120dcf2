#include "download/http_thread.h"

#include "config/config_store.h"
#include "download/error_log.h"
#include "download/job_failure.h"
#include "download/job_limits.h"
#include "download/page_limit.h"
#include "download/proxy_settings.h"
#include "download/request_target.h"
#include "download/response_sink.h"
#include "platform/program_folder.h"

#include <curl/curl.h>

namespace {

using download::AnswerFault;
using download::CJobFailure;
using download::CJobLimits;
using download::WithLineEnd;

constexpr int kMaxRedirects = 10;
// Each read hands at most this many body bytes to the file.
constexpr long kBodyChunkBytes = 4096;

} // namespace

CHttpThread::CHttpThread()
    : m_pageLimitMiB(config::Info(config::Key::MaxPageSize).intDefault)
    , m_pMulti(curl_multi_init())
{}

CHttpThread::~CHttpThread()
{
    Abort();
    EndThread();
    CloseHandles(); // a thread that never ran its exit processing leaves nothing behind
    if (m_pMulti)
        curl_multi_cleanup(m_pMulti);
}

void CHttpThread::SetTimeouts(std::chrono::milliseconds connect, std::chrono::seconds stall,
                              std::chrono::milliseconds job)
{
    m_connectTimeout = connect;
    m_stallTimeout = stall;
    m_jobTimeout = job;
}

void CHttpThread::Abort()
{
    m_bAbort.store(true);
    // The multi handle lives as long as the object, and waking it is safe from any thread.
    if (m_pMulti)
        curl_multi_wakeup(m_pMulti);
}

void CHttpThread::WriteErrorLog(std::string_view text)
{
    download::WriteErrorLog(text);
}

bool CHttpThread::InitInstance()
{
    if (StartSession())
        return true;
    Report(); // without it the main window would wait for this worker for ever
    return false;
}

bool CHttpThread::StartSession()
{
    if (!m_pMulti)
        return FailStart(CurlErrorText(CURLE_OUT_OF_MEMORY));
    m_pSession = curl_easy_init();
    if (!m_pSession)
        return FailStart(CurlErrorText(CURLE_FAILED_INIT));
    if (m_strReferer.find_first_of("\r\n") != std::string::npos)
        return FailStart("Referer refused: it holds a line break\r\n");

    m_pConnection = curl_url();
    if (!m_pConnection)
        return FailStart(CurlErrorText(CURLE_OUT_OF_MEMORY));
    if (m_strServer.empty())
        return FailStart(WithLineEnd(curl_url_strerror(CURLUE_NO_HOST)));
    if (!download::IsPlainServer(m_strServer))
        return FailStart(WithLineEnd(curl_url_strerror(CURLUE_BAD_HOSTNAME)));
    const std::string base = "http://" + m_strServer + "/";
    const CURLUcode uc = curl_url_set(m_pConnection, CURLUPART_URL, base.c_str(), 0);
    if (uc != CURLUE_OK)
        return FailStart(WithLineEnd(curl_url_strerror(uc)));
    return ConfigureSession();
}

bool CHttpThread::ConfigureSession()
{
    const std::string profilePath = m_strProfilePath.empty()
                                        ? config::VistrelIniPath(platform::ProgramFolder())
                                        : m_strProfilePath;
    const config::Config config(profilePath);
    const download::CProxySettings settings = download::ReadProxySettings(config);
    m_pageLimitMiB = download::ReadPageLimitMiB(config);
    char* host = nullptr;
    if (curl_url_get(m_pConnection, CURLUPART_HOST, &host, 0) != CURLUE_OK)
        return FailStart(CurlErrorText(CURLE_OUT_OF_MEMORY));
    // Decided here once, so the request line can be formed to match.
    const std::string proxy = download::ProxyFor(settings, host);
    curl_free(host);
    m_bHttpProxy = download::IsHttpProxy(proxy);

    m_pHeaderList = download::FixedRequestHeaders();
    if (!m_pHeaderList)
        return FailStart(CurlErrorText(CURLE_OUT_OF_MEMORY));

    CURL* curl = m_pSession;
    CURLcode rc = CURLE_OK;
    auto set = [&rc, curl](CURLoption option, auto value) {
        if (rc == CURLE_OK)
            rc = curl_easy_setopt(curl, option, value);
    };
    set(CURLOPT_ERRORBUFFER, m_szCurlError);
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_USERAGENT, "Vistrel");
    set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    set(CURLOPT_HTTPHEADER, m_pHeaderList);
    // Only redirects can lead to https: the first request is always http.
    set(CURLOPT_PROTOCOLS_STR, "http,https");
    set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_connectTimeout.count()));
    set(CURLOPT_NOPROGRESS, 0L);
    set(CURLOPT_XFERINFOFUNCTION, &CJobLimits::OnProgress);
    set(CURLOPT_BUFFERSIZE, kBodyChunkBytes);
    set(CURLOPT_HEADERFUNCTION, &CResponseSink::OnHeader);
    set(CURLOPT_WRITEFUNCTION, &CResponseSink::OnBody);
    if (!m_strReferer.empty())
        set(CURLOPT_REFERER, m_strReferer.c_str());
    // An empty proxy turns the environment's off; no bypass list undoes the choice made above.
    set(CURLOPT_PROXY, proxy.c_str());
    set(CURLOPT_NOPROXY, "");
    if (rc == CURLE_OK && !m_sockets.Attach(curl))
        rc = CURLE_FAILED_INIT;
    if (rc != CURLE_OK)
        return FailStart(CurlErrorText(rc));
    return true;
}

int CHttpThread::Run()
{
    Report();
    return RunMessageLoop();
}

int CHttpThread::ExitInstance()
{
    CloseHandles();
    return CMessageThread::ExitInstance();
}

void CHttpThread::CloseHandles()
{
    curl_url_cleanup(m_pConnection);
    m_pConnection = nullptr;
    if (m_pSession)
        curl_easy_cleanup(m_pSession);
    m_pSession = nullptr;
    curl_slist_free_all(m_pHeaderList);
    m_pHeaderList = nullptr;
}

void CHttpThread::OnThreadMessage(const CThreadMessage& msg)
{
    switch (msg.message) {
    case UWM_START_DOWNLOAD:
        OnStartDownload(msg.wParam, msg.lParam);
        break;
    case UWM_QUIT_THREAD:
        OnQuitThread(msg.wParam, msg.lParam);
        break;
    default:
        break;
    }
}

void CHttpThread::OnStartDownload(std::uintptr_t, std::intptr_t)
{
    m_nError = DLERR_NONE;
    m_strReason.clear();
    Download();
    Report();
}

void CHttpThread::OnQuitThread(std::uintptr_t, std::intptr_t)
{
    PostQuitMessage(0);
}

bool CHttpThread::Download()
{
    m_szCurlError[0] = '\0';
    CJobLimits limits(m_bAbort, m_sockets, m_stallTimeout, m_jobTimeout);
    if (limits.Check() == CJobLimits::Verdict::Aborted)
        return FailTransfer(limits, CURLE_ABORTED_BY_CALLBACK);
    // One bad keyword fails its own job only; the worker stays fit for the next.
    if (!download::IsSafeTarget(m_strObject))
        return Fail(download::BadTargetFailure(CurlErrorText(CURLE_URL_MALFORMAT)));

    // The request line carries the target exactly as built: libcurl's URL parts would rewrite
    // its escapes. Through a proxy it has to name the whole address.
    const std::string origin = download::OriginForm(m_strObject);
    const std::string target = m_bHttpProxy ? "http://" + m_strServer + origin : origin;
    std::string url = "http://" + m_strServer + download::PathOf(origin);

    CURL* curl = m_pSession;
    CResponseSink sink(curl, m_strSaveFile, limits, download::MiBToBytes(m_pageLimitMiB));
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &limits);
    CURLcode rc = CURLE_OK;
    long status = 0;
    // Redirects are followed here: libcurl would send the first target to every location.
    for (int redirects = 0;; ++redirects) {
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_REQUEST_TARGET, redirects == 0 ? target.c_str() : nullptr);
        rc = static_cast<CURLcode>(download::RunTransfer(m_pMulti, curl, limits));
        status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        char* next = nullptr;
        if (rc != CURLE_OK || status / 100 != 3 ||
            curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &next) != CURLE_OK || !next)
            break;
        if (redirects == kMaxRedirects) {
            rc = CURLE_TOO_MANY_REDIRECTS;
            m_szCurlError[0] = '\0';
            break;
        }
        url = next;
    }

    return Finish(sink, limits, rc, status);
}

bool CHttpThread::Finish(CResponseSink& sink, const CJobLimits& limits, int rc, long status)
{
    // A file failure, or an answer the sink refused, also ends the transfer with a write
    // error; the sink's own account says more.
    AnswerFault fault = sink.GetFault();
    if (sink.HasFileError()) {
        sink.CloseFile();
        return Fail(download::FileFailure(sink.GetFileError()));
    }
    if (fault == AnswerFault::None && rc != CURLE_OK) {
        sink.CloseFile();
        return FailTransfer(limits, rc);
    }
    if (fault == AnswerFault::None && status != 200)
        return Fail(download::StatusFailure(status, sink.GetHeaderBlock()));
    // libcurl takes a connection closed before the empty line for the end of the head.
    if (fault == AnswerFault::None && !sink.GetHead().IsComplete())
        fault = AnswerFault::CutShort;
    if (fault != AnswerFault::None)
        return Fail(
            download::AnswerFailure(fault, sink.GetHead(), sink.GetHeaderBlock(), m_pageLimitMiB));
    if ((!sink.IsFileOpen() && !sink.OpenFile()) || !sink.CloseFile())
        return Fail(download::FileFailure(sink.GetFileError()));
    return true;
}

bool CHttpThread::Fail(const CJobFailure& failure)
{
    m_nError = failure.error;
    m_strReason = failure.reason;
    if (!failure.logText.empty())
        WriteErrorLog(failure.logText);
    return false;
}

bool CHttpThread::FailStart(std::string_view logText)
{
    return Fail(download::StartFailure(logText));
}

bool CHttpThread::FailTransfer(const CJobLimits& limits, int code)
{
    return Fail(download::TransferFailure(limits.GetVerdict(), code, m_szCurlError, m_stallTimeout,
                                          m_jobTimeout));
}

std::string CHttpThread::CurlErrorText(int code) const
{
    // libcurl's own detail ("Failed to connect to ... port ...") says more than the code's text.
    if (m_szCurlError[0] != '\0')
        return WithLineEnd(m_szCurlError);
    return WithLineEnd(curl_easy_strerror(static_cast<CURLcode>(code)));
}

void CHttpThread::Report()
{
    if (m_hNotifyWnd)
        m_hNotifyWnd->PostDownloadDone(m_nThreadID);
}
