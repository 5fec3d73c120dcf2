#pragma once

#include "download/http_thread.h"
#include "download/tests/raw_server.h"
#include "platform/blocking_queue.h"
#include "platform/tests/temp_dir.h"
#include "tools/listing_site/listing_server.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace download_tests {

// The main window's side: reports queue up as the real window's queued calls do.
class ReportQueue : public download::IDownloadNotify
{
public:
    void PostDownloadDone(download::Report report) override { m_reports.Post(std::move(report)); }
    // The next report, waiting for it as long as it takes.
    download::Report Take() { return m_reports.Take(); }
    // The next report if one is there; once its worker has ended, none means no more come.
    std::optional<download::Report> TryTake() { return m_reports.TryTake(); }

private:
    platform::BlockingQueue<download::Report> m_reports;
};

// Time that stands still until a test moves it on, so that only what the test does can run
// out a stall or a job limit.
class ManualClock : public download::Clock
{
public:
    TimePoint Now() const override { return TimePoint(TimePoint::duration(m_ticks.load())); }
    void Advance(std::chrono::milliseconds by)
    {
        m_ticks += std::chrono::duration_cast<TimePoint::duration>(by).count();
    }

private:
    std::atomic<TimePoint::rep> m_ticks{0};
};

// The messages of an error log's entries, without their time stamps; {"<garbled>"} when the
// log does not start with one.
std::vector<std::string> LogMessages(const std::string& log);

// A search target for the sample site's Tokyo listing; key is already percent-encoded.
std::string SearchObject(const std::string& key);
inline const std::string kDramaKey = "%83%68%83%89%83%7D"; // ドラマ

// Each test works in a fresh folder (where error.log goes, restored afterwards) with a
// configuration file that connects directly, and may run the sample site in-process.
class WorkerTest : public ::testing::Test
{
protected:
    WorkerTest();
    ~WorkerTest() override;

    void WriteProxyProfile(int ieSetting, int enable, const std::string& host, int port);
    std::string StartSite(listing_site::CSiteOptions options = {}); // its "127.0.0.1:port"
    // The settings a run would hand its workers from the test's configuration file, with
    // limits long enough for the sample site under ThreadSanitizer, short enough for a stall
    // test.
    download::Settings ReadSettings() const;
    // Creates and resumes a worker with those settings (or the given ones), and takes its
    // first report into m_report.
    std::unique_ptr<CHttpThread> StartWorker(const std::string& server,
                                             const std::string& referer = "");
    std::unique_ptr<CHttpThread> StartWorker(const std::string& server,
                                             const download::Settings& settings,
                                             const download::Clock* clock = nullptr,
                                             const std::string& referer = "");
    // Runs one job on an idle worker and takes its report into m_report; false when the report
    // came from another worker.
    bool RunJob(CHttpThread& worker, const std::string& object, const std::string& saveFile);
    // Takes the next report into m_report; false when it came from another worker.
    bool TakeReport(const CHttpThread& worker);
    std::string ErrorLog() const;

    testing_support::CTempDir m_dir;
    std::string m_previousFolder;
    std::string m_profile = m_dir.File("Vistrel.ini");
    std::string m_page = m_dir.File("page.html");
    ReportQueue m_notify;
    download::Report m_report; // the latest report taken
    std::unique_ptr<listing_site::CListingServer> m_site;
};

} // namespace download_tests
