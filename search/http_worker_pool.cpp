// The only file of the run that knows CHttpThread.
#include "search/http_worker_pool.h"

#include "download/http_thread.h"

namespace search {
namespace {

class CHttpWorker : public IDownloadWorker
{
public:
    explicit CHttpWorker(std::unique_ptr<CHttpThread> pThread)
        : m_pThread(std::move(pThread))
    {}

    std::uint32_t GetThreadID() const override { return m_pThread->GetThreadID(); }
    void Resume() override { m_pThread->ResumeThread(); }
    std::int32_t GetError() const override { return m_pThread->m_nError; }
    std::string GetReason() const override { return m_pThread->m_strReason; }
    void StartDownload(const std::string& object, const std::string& saveFile) override
    {
        m_pThread->m_strObject = object;
        m_pThread->m_strSaveFile = saveFile;
        // The post hands the two fields over to the worker's thread.
        m_pThread->PostThreadMessage(UWM_START_DOWNLOAD);
    }
    void Abort() override { m_pThread->Abort(); }
    void PostQuit() override { m_pThread->PostThreadMessage(UWM_QUIT_THREAD); }
    void WaitForEnd() override { m_pThread->WaitForEnd(); }

private:
    std::unique_ptr<CHttpThread> m_pThread; // its destructor aborts and waits
};

} // namespace

CHttpWorkerPool::CHttpWorkerPool(IDownloadNotify& notify, std::string profilePath)
    : m_notify(notify)
    , m_strProfilePath(std::move(profilePath))
{}

void CHttpWorkerPool::SetTimeouts(std::chrono::milliseconds connect, std::chrono::seconds stall)
{
    m_timeouts.emplace(connect, stall);
}

std::unique_ptr<IDownloadWorker> CHttpWorkerPool::CreateWorker(const std::string& server,
                                                               const std::string& referer)
{
    auto pThread = std::make_unique<CHttpThread>();
    if (!pThread->CreateThread())
        return nullptr;
    // Everything the thread reads at start-up is set while it waits at its start gate.
    pThread->m_hNotifyWnd = &m_notify;
    pThread->SetServer(server.c_str());
    pThread->SetReferer(referer.c_str());
    pThread->SetProfilePath(m_strProfilePath);
    if (m_timeouts)
        pThread->SetTimeouts(m_timeouts->first, m_timeouts->second);
    return std::make_unique<CHttpWorker>(std::move(pThread));
}

platform::Result<std::string> CHttpWorkerPool::MakePageFile()
{
    return m_pageFolder.MakeFile(platform::kTempFilePrefix);
}

void CHttpWorkerPool::DeletePageFolder()
{
    m_pageFolder.Remove();
}

void CHttpWorkerPool::WriteErrorLog(std::string_view text)
{
    CHttpThread::WriteErrorLog(text);
}

} // namespace search
