// The only file of the run that knows CHttpThread.
#include "search/http_worker_pool.h"

#include "config/config_store.h"
#include "download/http_thread.h"

namespace search {
namespace {

// What the row's tool tip says when the worker gave no reason of its own.
std::string FallbackReason(std::int32_t error)
{
    switch (error) {
    case DLERR_INTERNET:
        return "通信エラー";
    case DLERR_STATUS:
        return "HTTP エラー";
    case DLERR_FILE:
        return "ファイルに書けません";
    default:
        return "ダウンロード失敗 (コード " + std::to_string(error) + ")";
    }
}

Outcome ToOutcome(download::Status status)
{
    switch (status) {
    case download::Status::Ready:
        break;
    case download::Status::Done:
        return Outcome::Done;
    case download::Status::Failed:
        return Outcome::Failed;
    case download::Status::Retired:
        return Outcome::Retired;
    }
    return Outcome::Ready;
}

class HttpWorker : public IDownloadWorker
{
public:
    explicit HttpWorker(std::unique_ptr<CHttpThread> thread)
        : m_thread(std::move(thread))
    {}

    std::uint32_t GetThreadID() const override { return m_thread->GetThreadID(); }
    void Resume() override { m_thread->ResumeThread(); }
    void StartDownload(const std::string& object, const std::string& saveFile) override
    {
        m_thread->StartDownload({object, saveFile});
    }
    void Abort() override { m_thread->Abort(); }
    void PostQuit() override { m_thread->PostThreadMessage(UWM_QUIT_THREAD); }
    void WaitForEnd() override { m_thread->WaitForEnd(); }

private:
    std::unique_ptr<CHttpThread> m_thread; // its destructor aborts and waits
};

} // namespace

WorkerReport ToWorkerReport(const download::Report& report)
{
    WorkerReport mapped{report.threadId, ToOutcome(report.status), report.reason};
    const bool failed = mapped.outcome == Outcome::Failed || mapped.outcome == Outcome::Retired;
    if (failed && mapped.reason.empty())
        mapped.reason = FallbackReason(report.error);
    return mapped;
}

// Runs on the workers' threads: it only maps and hands on.
class HttpWorkerPool::Relay : public download::IDownloadNotify
{
public:
    explicit Relay(IReportReceiver& receiver)
        : m_receiver(receiver)
    {}
    void PostDownloadDone(download::Report report) override
    {
        m_receiver.PostDownloadDone(ToWorkerReport(report));
    }

private:
    IReportReceiver& m_receiver;
};

HttpWorkerPool::HttpWorkerPool(IReportReceiver& receiver, std::string profilePath)
    : m_relay(std::make_unique<Relay>(receiver))
    , m_profilePath(std::move(profilePath))
{}

HttpWorkerPool::~HttpWorkerPool() = default;

void HttpWorkerPool::SetTimeouts(std::chrono::milliseconds connect, std::chrono::seconds stall)
{
    m_timeouts.emplace(connect, stall);
}

std::unique_ptr<IDownloadWorker> HttpWorkerPool::CreateWorker(const std::string& server,
                                                              const std::string& referer)
{
    if (!m_settings) {
        m_settings = std::make_unique<download::Settings>(
            download::ReadSettings(config::Config(m_profilePath)));
        if (m_timeouts) {
            m_settings->connectTimeout = m_timeouts->first;
            m_settings->stallTimeout = m_timeouts->second;
        }
    }
    auto thread = std::make_unique<CHttpThread>();
    if (!thread->CreateThread())
        return nullptr;
    // Everything the thread reads at start-up is set while it waits at its start gate.
    thread->m_hNotifyWnd = m_relay.get();
    thread->SetServer(server.c_str());
    thread->SetReferer(referer.c_str());
    thread->SetSettings(*m_settings);
    return std::make_unique<HttpWorker>(std::move(thread));
}

platform::Result<std::string> HttpWorkerPool::MakePageFile()
{
    return m_pageFolder.NewFileName(platform::kTempFilePrefix);
}

void HttpWorkerPool::DeletePageFolder()
{
    m_pageFolder.Remove();
    m_settings.reset(); // the next run reads them again
}

void HttpWorkerPool::WriteErrorLog(std::string_view text)
{
    CHttpThread::WriteErrorLog(text);
}

} // namespace search
