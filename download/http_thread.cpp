#include "download/http_thread.h"

#include "download/error_log.h"
#include "download/proxy_settings.h"
#include "download/response_sink.h"
#include "platform/profile.h"
#include "platform/program_folder.h"

#include <algorithm>
#include <curl/curl.h>

namespace {

constexpr long kMaxRedirects = 10;
// Each read hands at most this many body bytes to the file.
constexpr long kBodyChunkBytes = 4096;

std::string WithLineEnd(std::string_view text)
{
    std::string line(text);
    line += "\r\n";
    return line;
}

// A server is a host name or address with an optional ":port"; anything else (a path, user
// data, blanks) would change which server the requests go to.
bool IsPlainServer(std::string_view server)
{
    return std::all_of(server.begin(), server.end(), [](unsigned char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
               c == '.' || c == '-' || c == '_' || c == ':' || c == '[' || c == ']';
    });
}

// A request target with blanks or control bytes would break the request line.
bool IsSafeObject(std::string_view object)
{
    return std::none_of(object.begin(), object.end(),
                        [](unsigned char c) { return c <= 0x20 || c == 0x7F; });
}

} // namespace

CHttpThread::~CHttpThread()
{
    EndThread();
    CloseHandles(); // a thread that never ran its exit processing leaves nothing behind
}

void CHttpThread::SetTimeouts(std::chrono::milliseconds connect, std::chrono::seconds stall)
{
    m_connectTimeout = connect;
    m_stallTimeout = stall;
}

void CHttpThread::WriteErrorLog(std::string_view text)
{
    download::WriteErrorLog(text);
}

bool CHttpThread::InitInstance()
{
    m_pSession = curl_easy_init();
    if (!m_pSession)
        return Fail(DLERR_INTERNET, CurlErrorText(CURLE_FAILED_INIT));
    if (!ConfigureSession())
        return false;

    m_pConnection = curl_url();
    if (!m_pConnection)
        return Fail(DLERR_INTERNET, CurlErrorText(CURLE_OUT_OF_MEMORY));
    if (m_strServer.empty())
        return Fail(DLERR_INTERNET, WithLineEnd(curl_url_strerror(CURLUE_NO_HOST)));
    if (!IsPlainServer(m_strServer))
        return Fail(DLERR_INTERNET, WithLineEnd(curl_url_strerror(CURLUE_BAD_HOSTNAME)));
    const std::string base = "http://" + m_strServer + "/";
    const CURLUcode uc = curl_url_set(m_pConnection, CURLUPART_URL, base.c_str(), 0);
    if (uc != CURLUE_OK)
        return Fail(DLERR_INTERNET, WithLineEnd(curl_url_strerror(uc)));
    return true;
}

bool CHttpThread::ConfigureSession()
{
    const std::string profilePath =
        m_strProfilePath.empty() ? platform::ProgramFolder() + "Vistrel.ini" : m_strProfilePath;
    const download::CProxySettings proxy =
        download::ReadProxySettings(platform::CProfile(profilePath));

    // The fixed request headers: no Accept line, and a page is always fetched afresh.
    for (const char* header : {"Accept:", "Pragma: no-cache"}) {
        curl_slist* list = curl_slist_append(m_pHeaderList, header);
        if (!list)
            return Fail(DLERR_INTERNET, CurlErrorText(CURLE_OUT_OF_MEMORY));
        m_pHeaderList = list;
    }

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
    set(CURLOPT_PROTOCOLS_STR, "http");
    set(CURLOPT_FOLLOWLOCATION, 1L);
    set(CURLOPT_MAXREDIRS, kMaxRedirects);
    set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_connectTimeout.count()));
    set(CURLOPT_NOPROGRESS, 0L);
    set(CURLOPT_XFERINFOFUNCTION, &CResponseSink::OnProgress);
    set(CURLOPT_BUFFERSIZE, kBodyChunkBytes);
    set(CURLOPT_HEADERFUNCTION, &CResponseSink::OnHeader);
    set(CURLOPT_WRITEFUNCTION, &CResponseSink::OnBody);
    if (!m_strReferer.empty())
        set(CURLOPT_REFERER, m_strReferer.c_str());
    switch (proxy.mode) {
    case download::ProxyMode::Preconfigured:
        break; // libcurl reads http_proxy and no_proxy itself
    case download::ProxyMode::Named:
        set(CURLOPT_PROXY, proxy.proxy.c_str());
        set(CURLOPT_NOPROXY, ""); // no bypass list, whatever no_proxy says
        break;
    case download::ProxyMode::Direct:
        set(CURLOPT_PROXY, ""); // an empty proxy turns the environment's proxy off
        break;
    }
    if (rc != CURLE_OK)
        return Fail(DLERR_INTERNET, CurlErrorText(rc));
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
    if (!IsSafeObject(m_strObject))
        return Fail(DLERR_INTERNET, CurlErrorText(CURLE_URL_MALFORMAT));
    const std::size_t query = m_strObject.find('?');
    const std::string_view target(m_strObject);
    std::string path = target.starts_with('/') ? std::string() : std::string("/");
    path.append(target.substr(0, query));

    CURLU* url = curl_url_dup(m_pConnection);
    if (!url)
        return Fail(DLERR_INTERNET, CurlErrorText(CURLE_OUT_OF_MEMORY));
    CURLUcode uc = curl_url_set(url, CURLUPART_PATH, path.c_str(), 0);
    if (uc == CURLUE_OK && query != std::string::npos)
        uc = curl_url_set(url, CURLUPART_QUERY, m_strObject.c_str() + query + 1, 0);
    if (uc != CURLUE_OK) {
        curl_url_cleanup(url);
        return Fail(DLERR_INTERNET, WithLineEnd(curl_url_strerror(uc)));
    }

    CURL* curl = m_pSession;
    CResponseSink sink(curl, m_strSaveFile, m_stallTimeout);
    curl_easy_setopt(curl, CURLOPT_CURLU, url);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &sink);
    const CURLcode rc = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_setopt(curl, CURLOPT_CURLU, nullptr);
    curl_url_cleanup(url);

    // A file failure also ends the transfer with a write error; the file's text says more.
    if (sink.HasFileError()) {
        sink.CloseFile();
        return Fail(DLERR_FILE, sink.GetFileError());
    }
    if (sink.HasStalled()) {
        sink.CloseFile();
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(m_stallTimeout);
        return Fail(DLERR_INTERNET,
                    WithLineEnd(std::string(curl_easy_strerror(CURLE_OPERATION_TIMEDOUT)) +
                                ": nothing received for " + std::to_string(seconds.count()) +
                                " seconds"));
    }
    if (rc != CURLE_OK) {
        sink.CloseFile();
        return Fail(DLERR_INTERNET, CurlErrorText(rc));
    }
    if (status != 200)
        return Fail(DLERR_STATUS, sink.GetHeaderBlock());
    if ((!sink.IsFileOpen() && !sink.OpenFile()) || !sink.CloseFile())
        return Fail(DLERR_FILE, sink.GetFileError());
    return true;
}

bool CHttpThread::Fail(std::int32_t error, std::string_view logText)
{
    m_nError = error;
    WriteErrorLog(logText);
    return false;
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
