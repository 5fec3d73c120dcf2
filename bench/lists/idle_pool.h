#pragma once

#include "search/run_ports.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

namespace bench {

// Workers that download nothing: resuming one or handing it a job only queues its report at
// once, as if the page had come back empty, so a run can be driven to its end without a
// thread, a socket or a page file.
class IdlePool : public search::IWorkerPool
{
public:
    std::unique_ptr<search::IDownloadWorker> CreateWorker(const std::string& server,
                                                          const std::string& referer) override;
    // A path that is never created: the run only passes it on and deletes it.
    platform::Result<std::string> MakePageFile() override;
    void DeletePageFolder() override {}
    void WriteErrorLog(std::string_view) override {}

    // The reports the workers have made and the run has not yet taken, oldest first.
    std::deque<search::WorkerReport> m_reports;

private:
    std::uint32_t m_nextId = 1;
    std::uint64_t m_nextFile = 0;
};

// Prompts that answer nothing and open nothing.
class SilentPrompts : public search::IRunPrompts
{
public:
    void ShowRegionMissing() override {}
    bool AskShowResult() override { return false; }
    void ShowSearchFailed(const std::string&) override {}
    void OpenResult(const std::string&, const std::string&) override {}
};

} // namespace bench
