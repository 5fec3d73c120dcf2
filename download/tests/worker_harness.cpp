#include "download/tests/worker_harness.h"

#include "platform/profile.h"

#include <filesystem>
#include <regex>

namespace download_tests {

void CNotifyQueue::PostDownloadDone(std::uint32_t threadId)
{
    std::lock_guard lock(m_mutex);
    m_reports.push_back(threadId);
    m_ready.notify_one();
}

std::optional<std::uint32_t> CNotifyQueue::WaitReport(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    if (!m_ready.wait_for(lock, timeout, [this] { return !m_reports.empty(); }))
        return std::nullopt;
    const std::uint32_t id = m_reports.front();
    m_reports.pop_front();
    return id;
}

std::vector<std::string> LogMessages(const std::string& log)
{
    static const std::regex stamp(R"(\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2} )");
    std::vector<std::string> messages;
    std::size_t end = 0;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), stamp);
         it != std::sregex_iterator(); ++it) {
        const auto at = static_cast<std::size_t>(it->position());
        if (messages.empty() && at != 0)
            break;
        if (!messages.empty())
            messages.back() = log.substr(end, at - end);
        messages.emplace_back();
        end = at + static_cast<std::size_t>(it->length());
    }
    if (messages.empty())
        return log.empty() ? messages : std::vector<std::string>{"<garbled>"};
    messages.back() = log.substr(end);
    return messages;
}

std::string SearchObject(const std::string& key)
{
    return "/tv.php?mode=10&site=007&sort=d&sdate=&ldate=28&shour=05&lhour=24&template=keyword"
           "&category=tc&area=008&key=" +
           key;
}

CWorkerTest::CWorkerTest()
    : m_strPreviousFolder(std::filesystem::current_path().string())
{
    std::filesystem::current_path(m_dir.Path());
    WriteProxyProfile(0, 0, "", 8080);
}

CWorkerTest::~CWorkerTest()
{
    m_pSite.reset();
    std::error_code ec;
    std::filesystem::current_path(m_strPreviousFolder, ec);
}

void CWorkerTest::WriteProxyProfile(int ieSetting, int enable, const std::string& host, int port)
{
    const platform::Profile profile(m_strProfile);
    ASSERT_TRUE(profile.WriteInt("Settings\\Proxy", "IESetting", ieSetting) &&
                profile.WriteInt("Settings\\Proxy", "Enable", enable) &&
                profile.WriteString("Settings\\Proxy", "Host", host) &&
                profile.WriteInt("Settings\\Proxy", "Port", port));
}

std::string CWorkerTest::StartSite(listing_site::CSiteOptions options)
{
    m_pSite = std::make_unique<listing_site::CListingServer>(std::move(options));
    const int port = m_pSite->Start();
    EXPECT_GT(port, 0);
    return "127.0.0.1:" + std::to_string(port);
}

std::unique_ptr<CHttpThread> CWorkerTest::StartWorker(const std::string& server,
                                                      const std::string& referer)
{
    auto worker = std::make_unique<CHttpThread>();
    EXPECT_TRUE(worker->CreateThread());
    worker->m_hNotifyWnd = &m_notify;
    worker->SetServer(server.c_str());
    worker->SetReferer(referer.c_str());
    worker->SetProfilePath(m_strProfile);
    // Long enough for the sample site under ThreadSanitizer, short enough for a stall test.
    worker->SetTimeouts(std::chrono::seconds(5), std::chrono::seconds(3));
    worker->ResumeThread();
    EXPECT_EQ(m_notify.WaitReport(), worker->GetThreadID());
    return worker;
}

bool CWorkerTest::RunJob(CHttpThread& worker, const std::string& object,
                         const std::string& saveFile)
{
    worker.m_strObject = object;
    worker.m_strSaveFile = saveFile;
    worker.PostThreadMessage(UWM_START_DOWNLOAD);
    return m_notify.WaitReport() == worker.GetThreadID();
}

std::string CWorkerTest::ErrorLog() const
{
    const std::string path = m_dir.File("error.log");
    return std::filesystem::is_regular_file(path) ? testing_support::ReadFileBytes(path) : "";
}

} // namespace download_tests
