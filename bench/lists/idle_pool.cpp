#include "idle_pool.h"

namespace bench {
namespace {

class CIdleWorker : public search::IDownloadWorker
{
public:
    CIdleWorker(std::deque<std::uint32_t>& reports, std::uint32_t id)
        : m_reports(reports)
        , m_nId(id)
    {}

    std::uint32_t GetThreadID() const override { return m_nId; }
    void Resume() override { m_reports.push_back(m_nId); }
    std::int32_t GetError() const override { return 0; }
    std::string GetReason() const override { return {}; }
    void StartDownload(const std::string&, const std::string&) override
    {
        m_reports.push_back(m_nId);
    }
    void Abort() override {}
    void PostQuit() override {}
    void WaitForEnd() override {}

private:
    std::deque<std::uint32_t>& m_reports;
    std::uint32_t m_nId;
};

} // namespace

std::unique_ptr<search::IDownloadWorker> CIdlePool::CreateWorker(const std::string&,
                                                                 const std::string&)
{
    return std::make_unique<CIdleWorker>(m_reports, m_nNextId++);
}

platform::Result<std::string> CIdlePool::MakePageFile()
{
    return "/nonexistent/vistrel-lists-bench/~TV" + std::to_string(m_nNextFile++);
}

} // namespace bench
