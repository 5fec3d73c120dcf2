#include "download/tests/worker_harness.h"

#include "config/config_store.h"
#include "platform/profile.h"

#include <filesystem>
#include <regex>

namespace download_tests {

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

WorkerTest::WorkerTest()
    : m_previousFolder(std::filesystem::current_path().string())
{
    std::filesystem::current_path(m_dir.Path());
    WriteProxyProfile(0, 0, "", 8080);
}

WorkerTest::~WorkerTest()
{
    m_site.reset();
    std::error_code ec;
    std::filesystem::current_path(m_previousFolder, ec);
}

void WorkerTest::WriteProxyProfile(int ieSetting, int enable, const std::string& host, int port)
{
    const platform::Profile profile(m_profile);
    ASSERT_TRUE(profile.WriteInt("Settings\\Proxy", "IESetting", ieSetting) &&
                profile.WriteInt("Settings\\Proxy", "Enable", enable) &&
                profile.WriteString("Settings\\Proxy", "Host", host) &&
                profile.WriteInt("Settings\\Proxy", "Port", port));
}

std::string WorkerTest::StartSite(listing_site::CSiteOptions options)
{
    m_site = std::make_unique<listing_site::CListingServer>(std::move(options));
    const int port = m_site->Start();
    EXPECT_GT(port, 0);
    return "127.0.0.1:" + std::to_string(port);
}

download::Settings WorkerTest::ReadSettings() const
{
    download::Settings settings = download::ReadSettings(config::Config(m_profile));
    settings.connectTimeout = std::chrono::seconds(5);
    settings.stallTimeout = std::chrono::seconds(3);
    return settings;
}

std::unique_ptr<CHttpThread> WorkerTest::StartWorker(const std::string& server,
                                                     const std::string& referer)
{
    return StartWorker(server, ReadSettings(), nullptr, referer);
}

std::unique_ptr<CHttpThread> WorkerTest::StartWorker(const std::string& server,
                                                     const download::Settings& settings,
                                                     const download::Clock* clock,
                                                     const std::string& referer)
{
    auto worker = std::make_unique<CHttpThread>();
    EXPECT_TRUE(worker->CreateThread());
    worker->m_hNotifyWnd = &m_notify;
    worker->SetServer(server.c_str());
    worker->SetReferer(referer.c_str());
    worker->SetSettings(settings);
    if (clock)
        worker->SetClock(*clock);
    worker->ResumeThread();
    EXPECT_TRUE(TakeReport(*worker));
    return worker;
}

bool WorkerTest::RunJob(CHttpThread& worker, const std::string& object, const std::string& saveFile)
{
    worker.StartDownload({object, saveFile});
    return TakeReport(worker);
}

bool WorkerTest::TakeReport(const CHttpThread& worker)
{
    m_report = m_notify.Take();
    return m_report.threadId == worker.GetThreadID();
}

std::string WorkerTest::ErrorLog() const
{
    const std::string path = m_dir.File("error.log");
    return std::filesystem::is_regular_file(path) ? testing_support::ReadFileBytes(path) : "";
}

} // namespace download_tests
