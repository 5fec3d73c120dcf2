#pragma once

#include "platform/run_folder.h"
#include "search/run_ports.h"

#include <chrono>
#include <optional>
#include <string>

class IDownloadNotify;

namespace search {

// The run's workers as CHttpThread download threads. Their reports go to notify from the
// workers' own threads; the owner must bring each one to the run's thread.
class CHttpWorkerPool : public IWorkerPool
{
public:
    // profilePath: the configuration file the workers read the proxy settings from.
    CHttpWorkerPool(IDownloadNotify& notify, std::string profilePath);

    // Connect and stall limits for the workers created from now on (default: the worker's own).
    void SetTimeouts(std::chrono::milliseconds connect, std::chrono::seconds stall);

    std::unique_ptr<IDownloadWorker> CreateWorker(const std::string& server,
                                                  const std::string& referer) override;
    platform::Result<std::string> MakePageFile() override;
    void DeletePageFolder() override;
    void WriteErrorLog(std::string_view text) override;

private:
    IDownloadNotify& m_notify;
    std::string m_strProfilePath;
    std::optional<std::pair<std::chrono::milliseconds, std::chrono::seconds>> m_timeouts;
    platform::RunFolder m_pageFolder; // where the run under way keeps its pages
};

} // namespace search
