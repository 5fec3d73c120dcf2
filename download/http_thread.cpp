#include "download/http_thread.h"

#include "download/error_log.h"
#include "download/job_failure.h"
#include "download/job_limits.h"
#include "download/page_limit.h"
#include "download/request_target.h"
#include "download/response_sink.h"

#include <curl/curl.h>

namespace {

using download::AnswerFault;
using download::JobFailure;
using download::JobLimits;
using download::Status;
using download::WithLineEnd;

constexpr int kMaxRedirects = 10;

} // namespace

CHttpThread::CHttpThread()
    : m_multi(curl_multi_init())
{}

CHttpThread::~CHttpThread()
{
    Abort();
    EndThread();
    CloseHandles(); // a thread that never ran its exit processing leaves nothing behind
    if (m_multi)
        curl_multi_cleanup(m_multi);
}

void CHttpThread::StartDownload(download::Job job)
{
    PostThreadMessage({UWM_START_DOWNLOAD, 0, 0, std::move(job)});
}

void CHttpThread::Abort()
{
    m_abort.store(true);
    // The multi handle lives as long as the object, and waking it is safe from any thread.
    if (m_multi)
        curl_multi_wakeup(m_multi);
}

void CHttpThread::WriteErrorLog(std::string_view text)
{
    download::WriteErrorLog(text);
}

bool CHttpThread::InitInstance()
{
    if (StartSession())
        return true;
    Report(Status::Retired); // without it the main window would wait for this worker for ever
    return false;
}

int CHttpThread::Run()
{
    Report(Status::Ready);
    return RunMessageLoop();
}

int CHttpThread::ExitInstance()
{
    CloseHandles();
    return MessageThread::ExitInstance();
}

void CHttpThread::OnThreadMessage(download::ThreadMessage& message)
{
    switch (message.message) {
    case UWM_START_DOWNLOAD:
        if (auto* job = std::get_if<download::Job>(&message.payload))
            OnStartDownload(std::move(*job));
        break;
    case UWM_QUIT_THREAD:
        OnQuitThread();
        break;
    default:
        break;
    }
}

void CHttpThread::OnStartDownload(download::Job job)
{
    m_strObject = std::move(job.target);
    m_strSaveFile = std::move(job.saveFile);
    m_nError = DLERR_NONE;
    m_reason.clear();
    m_httpStatus = 0;
    Download();
    Report(download::StatusAfterJob(m_nError));
}

void CHttpThread::OnQuitThread()
{
    PostQuitMessage(0);
}

bool CHttpThread::Download()
{
    m_curlError[0] = '\0';
    JobLimits limits(m_abort, m_sockets, *m_clock, m_settings.stallTimeout, m_settings.jobTimeout);
    CURL* curl = m_pSession;
    download::ResponseSink sink(curl, m_strSaveFile, limits,
                                download::MiBToBytes(m_settings.pageLimitMiB));
    // Every job leaves its page file behind, whatever becomes of it.
    if (!sink.OpenFile())
        return Fail(download::FileFailure(sink.GetFileError()));
    if (limits.Check() == JobLimits::Verdict::Aborted)
        return FailTransfer(limits, CURLE_ABORTED_BY_CALLBACK);
    // One bad keyword fails its own job only; the worker stays fit for the next.
    if (!download::IsSafeTarget(m_strObject))
        return Fail(download::BadTargetFailure(CurlErrorText(CURLE_URL_MALFORMAT)));

    // The request line carries the target exactly as built: libcurl's URL parts would rewrite
    // its escapes. Through a proxy it has to name the whole address.
    const std::string origin = download::OriginForm(m_strObject);
    const std::string target = m_httpProxy ? "http://" + m_strServer + origin : origin;
    std::string url = "http://" + m_strServer + download::PathOf(origin);

    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &limits);
    CURLcode rc = CURLE_OK;
    // Redirects are followed here: libcurl would send the first target to every location.
    for (int redirects = 0;; ++redirects) {
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_REQUEST_TARGET, redirects == 0 ? target.c_str() : nullptr);
        rc = static_cast<CURLcode>(download::RunTransfer(m_multi, curl, limits));
        m_httpStatus = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &m_httpStatus);
        char* next = nullptr;
        if (rc != CURLE_OK || m_httpStatus / 100 != 3 ||
            curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &next) != CURLE_OK || !next)
            break;
        if (redirects == kMaxRedirects) {
            rc = CURLE_TOO_MANY_REDIRECTS;
            m_curlError[0] = '\0';
            break;
        }
        url = next;
    }

    return Finish(sink, limits, rc);
}

bool CHttpThread::Finish(download::ResponseSink& sink, const JobLimits& limits, int rc)
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
    if (fault == AnswerFault::None && m_httpStatus != 200)
        return Fail(download::StatusFailure(m_httpStatus, sink.GetHeaderBlock()));
    // libcurl takes a connection closed before the empty line for the end of the head.
    if (fault == AnswerFault::None && !sink.GetHead().IsComplete())
        fault = AnswerFault::CutShort;
    if (fault != AnswerFault::None)
        return Fail(download::AnswerFailure(fault, sink.GetHead(), sink.GetHeaderBlock(),
                                            m_settings.pageLimitMiB));
    if (!sink.StartPage() || !sink.CloseFile())
        return Fail(download::FileFailure(sink.GetFileError()));
    return true;
}

bool CHttpThread::Fail(const JobFailure& failure)
{
    m_nError = failure.error;
    m_reason = failure.reason;
    if (!failure.logText.empty())
        WriteErrorLog(failure.logText);
    return false;
}

bool CHttpThread::FailStart(std::string_view logText)
{
    return Fail(download::StartFailure(logText));
}

bool CHttpThread::FailTransfer(const JobLimits& limits, int code)
{
    return Fail(download::TransferFailure(limits.GetVerdict(), code, m_curlError,
                                          m_settings.stallTimeout, m_settings.jobTimeout));
}

std::string CHttpThread::CurlErrorText(int code) const
{
    // libcurl's own detail ("Failed to connect to ... port ...") says more than the code's text.
    if (m_curlError[0] != '\0')
        return WithLineEnd(m_curlError);
    return WithLineEnd(curl_easy_strerror(static_cast<CURLcode>(code)));
}

void CHttpThread::Report(Status status)
{
    if (m_hNotifyWnd)
        m_hNotifyWnd->PostDownloadDone({GetThreadID(), status, m_nError, m_reason, m_httpStatus});
}
