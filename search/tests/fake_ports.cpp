#include "fake_ports.h"

#include <algorithm>

namespace search_test {

CFakeWorker::CFakeWorker(CFakePool& pool, std::uint32_t id)
    : m_pool(pool)
    , m_nId(id)
{
    m_pool.m_live[id] = this;
}

CFakeWorker::~CFakeWorker()
{
    m_pool.m_live.erase(m_nId);
    m_pool.m_log.push_back("destroy " + std::to_string(m_nId));
}

void CFakeWorker::Resume()
{
    m_pool.m_log.push_back("resume " + std::to_string(m_nId));
    if (m_pool.m_onResume)
        m_pool.m_onResume();
}

void CFakeWorker::StartDownload(const std::string& object, const std::string& saveFile)
{
    m_strObject = object;
    m_strSaveFile = saveFile;
    m_pool.m_log.push_back("start " + std::to_string(m_nId) + " " + object);
}

void CFakeWorker::Abort()
{
    m_pool.m_log.push_back("abort " + std::to_string(m_nId));
}

void CFakeWorker::PostQuit()
{
    m_pool.m_log.push_back("quit " + std::to_string(m_nId));
}

void CFakeWorker::WaitForEnd()
{
    m_pool.m_log.push_back("wait " + std::to_string(m_nId));
}

std::unique_ptr<search::IDownloadWorker> CFakePool::CreateWorker(const std::string& server,
                                                                 const std::string& referer)
{
    if (m_nCreatable <= 0) {
        m_log.push_back("create failed");
        return nullptr;
    }
    --m_nCreatable;
    m_strServer = server;
    m_strReferer = referer;
    const std::uint32_t id = m_nNextId++;
    m_log.push_back("create " + std::to_string(id));
    return std::make_unique<CFakeWorker>(*this, id);
}

platform::TempFileResult CFakePool::MakePageFile()
{
    const bool bFail = !m_pageFileFails.empty() && m_pageFileFails.front();
    if (!m_pageFileFails.empty())
        m_pageFileFails.pop_front();
    if (bFail) {
        platform::TempFileResult result;
        result.error = "disk full";
        return result;
    }
    return platform::MakeTempFile(platform::kTempFilePrefix);
}

CFakeWorker* CFakePool::Worker(std::uint32_t id) const
{
    const auto it = m_live.find(id);
    return it == m_live.end() ? nullptr : it->second;
}

CFakeRows::CFakeRows(std::vector<std::string> texts)
{
    for (std::string& text : texts)
        m_rows.push_back({std::move(text), "", ""});
}

std::ptrdiff_t CFakeRows::GetRowCount() const
{
    return static_cast<std::ptrdiff_t>(m_rows.size());
}

std::string CFakeRows::GetRowText(std::ptrdiff_t row) const
{
    if (m_onRead)
        m_onRead(row);
    return row >= 0 && row < GetRowCount() ? m_rows[row].text : std::string();
}

void CFakeRows::SetRowMark(std::ptrdiff_t row, std::string_view mark, std::string_view reason)
{
    if (row >= 0 && row < GetRowCount())
        m_rows[row] = {m_rows[row].text, std::string(mark), std::string(reason)};
}

std::vector<std::string> CFakeRows::Marks() const
{
    std::vector<std::string> marks;
    for (const CRow& row : m_rows)
        marks.push_back(row.mark);
    return marks;
}

bool CFakePrompts::AskShowResult()
{
    m_log.push_back("prompt ask-show");
    if (m_onAsk)
        m_onAsk();
    return m_bAnswerYes;
}

void CFakePrompts::OpenResult(const std::string& browserProgram, const std::string& path)
{
    m_log.push_back("open");
    m_opened.emplace_back(browserProgram, path);
}

void CFakeProgress::JobEnded(const std::string& keyword, bool bSucceeded, const std::string& reason)
{
    m_jobs.push_back(bSucceeded ? "OK " + keyword : "NG " + keyword + " " + reason);
}

void CFakeProgress::ProgressChanged(const search::CRunProgress& progress)
{
    m_updates.push_back(std::to_string(progress.nEnded) + "/" + std::to_string(progress.nFailed) +
                        "/" + std::to_string(progress.nTotal));
}

std::vector<std::string> EventsStartingWith(const CEventLog& log, const std::string& prefix)
{
    std::vector<std::string> found;
    std::copy_if(log.begin(), log.end(), std::back_inserter(found),
                 [&prefix](const std::string& event) { return event.starts_with(prefix); });
    return found;
}

} // namespace search_test
