#pragma once

#include "download/http_thread.h"
#include "download/tests/raw_server.h"
#include "platform/tests/temp_dir.h"
#include "tools/listing_site/listing_server.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace download_tests {

// The main window's side: reports queue up as the real window's queued calls do.
class CNotifyQueue : public IDownloadNotify
{
public:
    void PostDownloadDone(std::uint32_t threadId) override;
    std::optional<std::uint32_t>
    WaitReport(std::chrono::milliseconds timeout = std::chrono::seconds(20));

private:
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<std::uint32_t> m_reports;
};

// The messages of an error log's entries, without their time stamps; {"<garbled>"} when the
// log does not start with one.
std::vector<std::string> LogMessages(const std::string& log);

// A search target for the sample site's Tokyo listing; key is already percent-encoded.
std::string SearchObject(const std::string& key);
inline const std::string kDramaKey = "%83%68%83%89%83%7D"; // ドラマ

// Each test works in a fresh folder (where error.log goes, restored afterwards) with a
// configuration file that connects directly, and may run the sample site in-process.
class CWorkerTest : public ::testing::Test
{
protected:
    CWorkerTest();
    ~CWorkerTest() override;

    void WriteProxyProfile(int ieSetting, int enable, const std::string& host, int port);
    std::string StartSite(listing_site::CSiteOptions options = {}); // its "127.0.0.1:port"
    // Creates, configures and resumes a worker, and takes its first report.
    std::unique_ptr<CHttpThread> StartWorker(const std::string& server,
                                             const std::string& referer = "");
    // Runs one job on an idle worker; false when no report came.
    bool RunJob(CHttpThread& worker, const std::string& object, const std::string& saveFile);
    std::string ErrorLog() const;

    testing_support::CTempDir m_dir;
    std::string m_strPreviousFolder;
    std::string m_strProfile = m_dir.File("Vistrel.ini");
    std::string m_strPage = m_dir.File("page.html");
    CNotifyQueue m_notify;
    std::unique_ptr<listing_site::CListingServer> m_pSite;
};

} // namespace download_tests
