#pragma once

#include "download/download_messages.h"
#include "download/http_thread.h"
#include "platform/tests/temp_dir.h"
#include "tools/listing_site/listing_server.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace download_tests {

// The main window's side in the tests: reports queue up as the real window's queued calls do.
class CNotifyQueue : public IDownloadNotify
{
public:
    void PostDownloadDone(std::uint32_t threadId) override;
    // The next report, or nothing when none arrives in time.
    std::optional<std::uint32_t>
    WaitReport(std::chrono::milliseconds timeout = std::chrono::seconds(20));

private:
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<std::uint32_t> m_reports;
};

// Works in a folder for as long as it lives, then returns to the one it came from.
class CWorkingFolder
{
public:
    explicit CWorkingFolder(const std::string& folder);
    ~CWorkingFolder();

private:
    std::string m_strPrevious;
};

// A loopback server that answers every connection with the same bytes, for responses the
// listing site never sends (empty bodies, oversized header blocks).
class CCannedServer
{
public:
    explicit CCannedServer(std::string response);
    ~CCannedServer();
    int GetPort() const { return m_nPort; }

private:
    void Serve();

    std::string m_strResponse;
    int m_listenFd = -1;
    int m_stopPipe[2] = {-1, -1};
    int m_nPort = 0;
    std::thread m_thread;
};

// A loopback port that nobody listens on (bound once, then released).
int ClosedPort();

// Writes the four keys of "Settings\Proxy" into a configuration file.
void WriteProxyProfile(const std::string& path, int ieSetting, int enable, const std::string& host,
                       int port);

// The messages of the entries of an error log, in order, without their time stamps. A log
// that does not start with a time stamp gives the single entry "<garbled>".
std::vector<std::string> LogMessages(const std::string& log);

// A search target for the sample site's Tokyo listing; key is already percent-encoded.
std::string SearchObject(const std::string& key);

// Each test works in a fresh folder (where error.log goes) with a configuration file that
// connects directly, and may start the sample listing site in-process on a free port.
class CWorkerTest : public ::testing::Test
{
protected:
    CWorkerTest();
    ~CWorkerTest() override;

    // Starts the site; returns its "127.0.0.1:port".
    std::string StartSite(listing_site::CSiteOptions options = {});
    // Creates, configures and resumes a worker and waits for its first report.
    std::unique_ptr<CHttpThread> StartWorker(const std::string& server,
                                             const std::string& referer = "");
    // Runs one job on an idle worker and waits for its report; false when none came.
    bool RunJob(CHttpThread& worker, const std::string& object, const std::string& saveFile);
    // The bytes of error.log in the working folder; empty when there is none.
    std::string ErrorLog() const;

    testing_support::CTempDir m_dir;
    CWorkingFolder m_folder{m_dir.Path()};
    std::string m_strProfile = m_dir.File("Vistrel.ini");
    CNotifyQueue m_notify;
    std::unique_ptr<listing_site::CListingServer> m_pSite;
};

} // namespace download_tests
