// The worker's session: one libcurl easy handle and the server's address, set up once when
// the thread starts and closed when it ends.
#include "download/http_thread.h"

#include "download/job_failure.h"
#include "download/job_limits.h"
#include "download/proxy_settings.h"
#include "download/request_target.h"
#include "download/response_sink.h"

#include <curl/curl.h>

namespace {

// libcurl receives into a buffer this large: with its 16 KiB default (or the 4 KiB it once
// had here) a 200 KB page costs dozens of receive and poll calls instead of a few.
constexpr long kReceiveBufferBytes = 256L * 1024;

} // namespace

using download::JobLimits;
using download::WithLineEnd;

bool CHttpThread::StartSession()
{
    if (!m_multi)
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
    char* host = nullptr;
    if (curl_url_get(m_pConnection, CURLUPART_HOST, &host, 0) != CURLUE_OK)
        return FailStart(CurlErrorText(CURLE_OUT_OF_MEMORY));
    // Decided here once, so the request line can be formed to match.
    const std::string proxy = download::ProxyFor(m_settings.proxy, host);
    curl_free(host);
    m_httpProxy = download::IsHttpProxy(proxy);

    m_headerList = download::FixedRequestHeaders();
    if (!m_headerList)
        return FailStart(CurlErrorText(CURLE_OUT_OF_MEMORY));

    CURL* curl = m_pSession;
    CURLcode rc = CURLE_OK;
    auto set = [&rc, curl](CURLoption option, auto value) {
        if (rc == CURLE_OK)
            rc = curl_easy_setopt(curl, option, value);
    };
    set(CURLOPT_ERRORBUFFER, m_curlError);
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_USERAGENT, "Vistrel");
    set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    set(CURLOPT_HTTPHEADER, m_headerList);
    // Only redirects can lead to https: the first request is always http.
    set(CURLOPT_PROTOCOLS_STR, "http,https");
    set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_settings.connectTimeout.count()));
    set(CURLOPT_NOPROGRESS, 0L);
    set(CURLOPT_XFERINFOFUNCTION, &JobLimits::OnProgress);
    set(CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
    set(CURLOPT_HEADERFUNCTION, &download::ResponseSink::OnHeader);
    set(CURLOPT_WRITEFUNCTION, &download::ResponseSink::OnBody);
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

void CHttpThread::CloseHandles()
{
    curl_url_cleanup(m_pConnection);
    m_pConnection = nullptr;
    if (m_pSession)
        curl_easy_cleanup(m_pSession);
    m_pSession = nullptr;
    curl_slist_free_all(m_headerList);
    m_headerList = nullptr;
}
