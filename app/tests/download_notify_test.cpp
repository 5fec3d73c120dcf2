#include "app/download_notify.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <thread>
#include <vector>

namespace app_test {
namespace {

TEST(DownloadNotify, ReportsFromWorkersRunOnTheMainThreadInTheirOrder)
{
    app::QueuedDownloadNotify notify;
    std::map<std::uint32_t, std::vector<std::uint32_t>> seen; // worker -> its reports
    int offMainThread = 0;
    notify.SetHandler([&](const search::WorkerReport& report) {
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            ++offMainThread;
        // The report arrives whole: its reason names the same report as its ID.
        EXPECT_EQ(report.reason, std::to_string(report.threadId));
        seen[report.threadId / 1000].push_back(report.threadId);
    });

    constexpr std::uint32_t kWorkers = 4;
    constexpr std::uint32_t kReports = 200;
    std::vector<std::thread> workers;
    for (std::uint32_t w = 1; w <= kWorkers; ++w) {
        workers.emplace_back([&notify, w] {
            for (std::uint32_t i = 0; i < kReports; ++i)
                notify.PostDownloadDone(
                    {w * 1000 + i, search::Outcome::Failed, std::to_string(w * 1000 + i)});
        });
    }
    for (auto& worker : workers)
        worker.join();
    EXPECT_TRUE(seen.empty()) << "posting must not call the handler on the worker";

    QCoreApplication::processEvents();
    EXPECT_EQ(offMainThread, 0);
    ASSERT_EQ(seen.size(), kWorkers);
    for (const auto& [worker, ids] : seen) {
        ASSERT_EQ(ids.size(), kReports);
        for (std::uint32_t i = 0; i < kReports; ++i)
            EXPECT_EQ(ids[i], worker * 1000 + i);
    }
}

TEST(DownloadNotify, ReportsStillQueuedWhenTheReceiverGoesAreDropped)
{
    int calls = 0;
    {
        auto notify = std::make_unique<app::QueuedDownloadNotify>();
        notify->SetHandler([&calls](const search::WorkerReport&) { ++calls; });
        std::thread([&notify] {
            notify->PostDownloadDone({7, search::Outcome::Ready, ""});
        }).join();
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 0);
}

} // namespace
} // namespace app_test
