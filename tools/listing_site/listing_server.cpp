#include "tools/listing_site/listing_server.h"

#include "tools/listing_site/programme_search.h"
#include "tools/listing_site/result_page.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <httplib.h>
#include <mutex>
#include <thread>

namespace listing_site {

namespace {

constexpr const char* kHtmlType = "text/html; charset=Shift_JIS";
// Each kept connection holds a thread while it lasts: room for the most workers a run may
// start (64) beside a benchmark's or a test's other clients.
constexpr std::size_t kServerThreads = 80;
// A stalled answer gives up by itself after this long, if the site is not stopped first.
constexpr std::chrono::minutes kMaxStall{10};
// An endless page goes out in steps of about this many bytes.
constexpr std::size_t kEndlessStepBytes = std::size_t{64} << 10;

std::string RawQuery(const httplib::Request& req)
{
    const std::size_t mark = req.target.find('?');
    return mark == std::string::npos ? std::string() : req.target.substr(mark + 1);
}

} // namespace

struct CListingServer::CImpl
{
    explicit CImpl(CSiteOptions siteOptions)
        : options(std::move(siteOptions))
    {}

    void Record(const httplib::Request& req);
    // Waits up to the given time; false when the site is stopping.
    bool Wait(std::chrono::milliseconds duration);
    void HandleSearch(const httplib::Request& req, httplib::Response& res);
    void SendPage(std::string page, httplib::Response& res);
    void SendEndlessPage(std::string page, httplib::Response& res);
    // A small page naming the response's status; none for statuses that have no body.
    void SetMessage(httplib::Response& res) const;

    const CSiteOptions options;
    httplib::Server server;
    std::thread thread;
    std::atomic<bool> bListenEnded = false;
    int port = -1;

    mutable std::mutex mutex;
    std::condition_variable stopping;
    bool bStopping = false;
    std::vector<CLoggedRequest> requests;
};

void CListingServer::CImpl::Record(const httplib::Request& req)
{
    CLoggedRequest logged;
    logged.requestLine = req.method + " " + req.target + " " + req.version;
    for (const auto& [name, value] : req.headers) {
        // cpp-httplib adds the socket's addresses as headers of its own; they were not sent.
        if (name != "LOCAL_ADDR" && name != "LOCAL_PORT" && name != "REMOTE_ADDR" &&
            name != "REMOTE_PORT")
            logged.headers.push_back(name + ": " + value);
    }

    std::lock_guard lock(mutex);
    if (!options.logPath.empty()) {
        if (std::FILE* log = std::fopen(options.logPath.c_str(), "ab")) {
            std::string text = logged.requestLine + "\n";
            for (const std::string& header : logged.headers)
                text += header + "\n";
            text += "\n";
            std::fwrite(text.data(), 1, text.size(), log);
            std::fclose(log);
        }
    }
    requests.push_back(std::move(logged));
}

bool CListingServer::CImpl::Wait(std::chrono::milliseconds duration)
{
    std::unique_lock lock(mutex);
    return !stopping.wait_for(lock, duration, [this] { return bStopping; });
}

void CListingServer::CImpl::HandleSearch(const httplib::Request& req, httplib::Response& res)
{
    const std::string rawQuery = RawQuery(req);
    if (options.redirectLoop) { // /moved/ sends it straight back here
        res.set_redirect("/moved/tv.php" + (rawQuery.empty() ? "" : "?" + rawQuery), 301);
        return;
    }
    const auto params = ParseQueryString(rawQuery);
    const auto key = params.find("key");
    if (key != params.end()) {
        const auto injected = options.statusByKey.find(key->second);
        if (injected != options.statusByKey.end()) {
            res.status = injected->second;
            SetMessage(res);
            return;
        }
    }
    const CQueryResult parsed =
        ParseSearchQuery(rawQuery, options.today ? *options.today : TodayLocal());
    if (!parsed.query) {
        res.status = 400;
        res.set_content(RenderMessagePage("Bad Request", parsed.error, options.crlf), kHtmlType);
        return;
    }
    const auto hits = FindProgrammes(options.seed, *parsed.query);
    std::optional<std::string> page = RenderResultPage(*parsed.query, hits, options.crlf);
    if (!page) {
        res.status = 500;
        res.set_content(RenderMessagePage("Internal Server Error", "page", options.crlf),
                        kHtmlType);
        return;
    }
    PadResultPage(*page, options.pageBytes, options.crlf);
    SendPage(std::move(*page), res);
}

void CListingServer::CImpl::SetMessage(httplib::Response& res) const
{
    if (res.status == 204 || res.status == 304)
        return;
    const std::string heading = "Status " + std::to_string(res.status);
    res.set_content(RenderMessagePage(heading, heading, options.crlf), kHtmlType);
}

void CListingServer::CImpl::SendPage(std::string page, httplib::Response& res)
{
    if (!options.contentEncoding.empty())
        res.set_header("Content-Encoding", options.contentEncoding);
    if (options.endless) {
        SendEndlessPage(std::move(page), res);
        return;
    }
    std::size_t limit = page.size();
    if (options.stall)
        limit = page.size() / 2;
    if (options.resetAfter && *options.resetAfter < limit)
        limit = *options.resetAfter;
    if (limit == page.size() && !options.stall) {
        res.set_content(page, kHtmlType); // copied: this cpp-httplib takes no rvalue
        return;
    }
    // The full length is announced, so the client knows the page was cut short.
    const std::size_t length = page.size();
    res.set_content_provider(length, kHtmlType,
                             [this, page = std::move(page), limit](std::size_t offset, std::size_t,
                                                                   httplib::DataSink& sink) {
                                 if (offset < limit) {
                                     sink.write(page.data() + offset, limit - offset);
                                     return true;
                                 }
                                 if (options.stall)
                                     Wait(kMaxStall);
                                 return false; // closes the connection
                             });
}

void CListingServer::CImpl::SendEndlessPage(std::string page, httplib::Response& res)
{
    const std::string eol = options.crlf ? "\r\n" : "\n";
    const std::string line = "<!-- " + std::string(90, 'x') + " -->" + eol;
    std::string filler;
    while (filler.size() < kEndlessStepBytes)
        filler += line;
    const auto giveUp = std::chrono::steady_clock::now() + kMaxStall;
    // No length: the body ends only when the connection does, which the client has to decide.
    res.set_content_provider(kHtmlType, [page = std::move(page), filler = std::move(filler),
                                         giveUp](std::size_t offset, httplib::DataSink& sink) {
        if (std::chrono::steady_clock::now() >= giveUp)
            sink.done();
        else if (offset == 0)
            sink.write(page.data(), page.size());
        else
            sink.write(filler.data(), filler.size());
        return true;
    });
}

CListingServer::CListingServer(CSiteOptions options)
    : m_pImpl(std::make_unique<CImpl>(std::move(options)))
{
    CImpl& impl = *m_pImpl;
    impl.server.new_task_queue = [] { return new httplib::ThreadPool(kServerThreads); };
    impl.server.set_keep_alive_timeout(1);
    // A kept connection serves a whole run's share of searches, not the library's five.
    impl.server.set_keep_alive_max_count(1000);
    // Headers and body go out as separate writes: without this, a kept-alive connection waits
    // for the client's delayed acknowledgement between them on every answer.
    impl.server.set_tcp_nodelay(true);
    impl.server.set_pre_routing_handler([&impl](const httplib::Request& req, httplib::Response&) {
        impl.Record(req);
        if (impl.options.latencyMs > 0)
            impl.Wait(std::chrono::milliseconds(impl.options.latencyMs));
        return httplib::Server::HandlerResponse::Unhandled;
    });
    // An optional "http://host" in front answers absolute-form (proxy) targets here.
    impl.server.Get(R"((?:http://[^/]+)?/tv\.php)",
                    [&impl](const httplib::Request& req, httplib::Response& res) {
                        impl.HandleSearch(req, res);
                    });
    impl.server.Get(
        R"((?:http://[^/]+)?/moved(/.*))", [](const httplib::Request& req, httplib::Response& res) {
            // Always a path on this site: "//host/..." (or "/\\host") would send the client to
            // another host, and the site never sends anyone off loopback.
            const std::string rest = req.matches[1].str();
            const std::size_t start = rest.find_first_not_of("/\\");
            const std::string path = "/" + (start == std::string::npos ? "" : rest.substr(start));
            const std::string query = RawQuery(req);
            res.set_redirect(path + (query.empty() ? "" : "?" + query), 301);
        });
    impl.server.set_error_handler([&impl](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty())
            impl.SetMessage(res);
    });
    // An HTTP/1.0 client gets the connection closed after each answer unless it asked to keep
    // it with "Connection: Keep-Alive", spelt as the library compares it; the answer says so.
    impl.server.set_post_routing_handler([](const httplib::Request& req, httplib::Response& res) {
        if (req.version == "HTTP/1.0" && req.get_header_value("Connection") != "Keep-Alive")
            res.set_header("Connection", "close");
    });
}

CListingServer::~CListingServer()
{
    Stop();
}

int CListingServer::Start()
{
    CImpl& impl = *m_pImpl;
    if (impl.thread.joinable())
        return -1;
    if (impl.options.port == 0)
        impl.port = impl.server.bind_to_any_port("127.0.0.1");
    else
        impl.port =
            impl.server.bind_to_port("127.0.0.1", impl.options.port) ? impl.options.port : -1;
    if (impl.port < 0)
        return -1;
    impl.thread = std::thread([&impl] {
        impl.server.listen_after_bind();
        impl.bListenEnded = true;
    });
    // stop() before the loop runs would be missed, so wait until it does.
    while (!impl.server.is_running() && !impl.bListenEnded)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return impl.port;
}

void CListingServer::Stop()
{
    CImpl& impl = *m_pImpl;
    if (!impl.thread.joinable())
        return;
    {
        std::lock_guard lock(impl.mutex);
        impl.bStopping = true;
    }
    impl.stopping.notify_all();
    impl.server.stop();
    impl.thread.join();
}

int CListingServer::GetPort() const
{
    return m_pImpl->port;
}

std::vector<CLoggedRequest> CListingServer::GetRequests() const
{
    std::lock_guard lock(m_pImpl->mutex);
    return m_pImpl->requests;
}

} // namespace listing_site
