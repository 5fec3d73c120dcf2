#include "idle_pool.h"

namespace bench {
namespace {

class IdleWorker : public search::IDownloadWorker
{
public:
    IdleWorker(std::deque<search::WorkerReport>& reports, std::uint32_t id)
        : m_reports(reports)
        , m_id(id)
    {}

    std::uint32_t GetThreadID() const override { return m_id; }
    void Resume() override { m_reports.push_back({m_id, search::Outcome::Ready, {}}); }
    void StartDownload(const std::string&, const std::string&) override
    {
        m_reports.push_back({m_id, search::Outcome::Done, {}});
    }
    void Abort() override {}
    void PostQuit() override {}
    void WaitForEnd() override {}

private:
    std::deque<search::WorkerReport>& m_reports;
    std::uint32_t m_id;
};

} // namespace

std::unique_ptr<search::IDownloadWorker> IdlePool::CreateWorker(const std::string&,
                                                                const std::string&)
{
    return std::make_unique<IdleWorker>(m_reports, m_nextId++);
}

platform::Result<std::string> IdlePool::MakePageFile()
{
    return "/nonexistent/vistrel-lists-bench/~TV" + std::to_string(m_nextFile++);
}

} // namespace bench
