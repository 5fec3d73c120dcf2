#pragma once

#include "platform/run_folder.h"
#include "search/run_ports.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace download {
struct Report;
struct Settings;
} // namespace download

namespace search {

// The report of a download worker in the run's terms; a failure the worker gave no reason
// for gets one from its outcome code.
WorkerReport ToWorkerReport(const download::Report& report);

// The run's workers as CHttpThread download threads. Their reports go to receiver from the
// workers' own threads; the receiver must bring each one to the run's thread.
class HttpWorkerPool : public IWorkerPool
{
public:
    // profilePath: the configuration file the workers' settings are read from, on this thread,
    // at the first worker of each run.
    HttpWorkerPool(IReportReceiver& receiver, std::string profilePath);
    ~HttpWorkerPool() override;
    HttpWorkerPool(const HttpWorkerPool&) = delete;
    HttpWorkerPool& operator=(const HttpWorkerPool&) = delete;

    // Connect and stall limits for the workers created from now on (default: the settings').
    void SetTimeouts(std::chrono::milliseconds connect, std::chrono::seconds stall);

    std::unique_ptr<IDownloadWorker> CreateWorker(const std::string& server,
                                                  const std::string& referer) override;
    // Only a name: the worker creates the file on its own thread, so that the run's thread
    // spends no time on the file system between one report and the next job.
    platform::Result<std::string> MakePageFile() override;
    void DeletePageFolder() override;
    void WriteErrorLog(std::string_view text) override;

private:
    class Relay;

    std::unique_ptr<Relay> m_relay; // maps the workers' reports for the receiver
    std::string m_profilePath;
    std::optional<std::pair<std::chrono::milliseconds, std::chrono::seconds>> m_timeouts;
    std::unique_ptr<download::Settings> m_settings; // of the run under way; null between runs
    platform::RunFolder m_pageFolder;               // where the run under way keeps its pages
};

} // namespace search
