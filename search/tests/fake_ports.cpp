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
    Log("destroy");
}

void CFakeWorker::Log(const std::string& what)
{
    m_pool.m_log.push_back(what + " " + std::to_string(m_nId));
}

void CFakeWorker::Resume()
{
    Log("resume");
    if (m_pool.m_onResume)
        m_pool.m_onResume();
}

void CFakeWorker::StartDownload(const std::string& object, const std::string& saveFile)
{
    m_strObject = object;
    m_strSaveFile = saveFile;
    Log("start");
}

std::unique_ptr<search::IDownloadWorker> CFakePool::CreateWorker(const std::string& server,
                                                                 const std::string& referer)
{
    m_log.push_back("create " + server + " " + referer);
    if (m_nCreatable-- <= 0)
        return nullptr;
    return std::make_unique<CFakeWorker>(*this, m_nNextId++);
}

platform::Result<std::string> CFakePool::MakePageFile()
{
    const bool bFail = !m_pageFileFails.empty() && m_pageFileFails.front();
    if (!m_pageFileFails.empty())
        m_pageFileFails.pop_front();
    if (!bFail)
        return m_pageFolder.MakeFile(platform::kTempFilePrefix);
    return platform::Failure{"disk full"};
}

CFakeWorker* CFakePool::Worker(std::uint32_t id) const
{
    const auto it = m_live.find(id);
    return it == m_live.end() ? nullptr : it->second;
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

platform::Result<std::string> CFakeRows::GetRowSearchText(std::ptrdiff_t row) const
{
    const std::string text = GetRowText(row);
    if (const auto it = m_unsearchable.find(text); it != m_unsearchable.end())
        return platform::Failure{it->second};
    return text;
}

std::string CFakeRows::ToUtf8(std::string_view rowText) const
{
    return m_toUtf8 ? m_toUtf8(rowText) : IKeywordRows::ToUtf8(rowText);
}

std::vector<std::string> CFakeRows::Marks() const
{
    std::vector<std::string> marks;
    for (const CRow& row : m_rows)
        marks.push_back(row.mark);
    return marks;
}

std::vector<std::string> CFakeRows::MarksWithReasons() const
{
    std::vector<std::string> marks;
    for (const CRow& row : m_rows)
        marks.push_back(row.reason.empty() ? row.mark : row.mark + " " + row.reason);
    return marks;
}

bool CRecorder::AskShowResult()
{
    m_log.push_back("ask-show");
    if (m_onAsk)
        m_onAsk();
    return m_bAnswerYes;
}

void CRecorder::OpenResult(const std::string& browser, const std::string& path)
{
    m_log.push_back("open " + browser + "|" + path);
}

void CRecorder::JobEnded(const std::string& keyword, bool bSucceeded, const std::string& reason)
{
    m_log.push_back("job " + std::string(bSucceeded ? "OK " : "NG ") + keyword +
                    (reason.empty() ? "" : " " + reason));
}

void CRecorder::ProgressChanged(const search::CRunProgress& p)
{
    m_log.push_back("progress " + std::to_string(p.nEnded) + "/" + std::to_string(p.nFailed) + "/" +
                    std::to_string(p.nTotal));
}

void CRecorder::ListingsCounted(const std::vector<search::KeywordCount>& counts)
{
    std::string event = "counts";
    for (const search::KeywordCount& keyword : counts) {
        event += " " + keyword.keyword + " " + std::to_string(keyword.count.listings) + "/" +
                 (keyword.count.fresh ? std::to_string(*keyword.count.fresh) : "-");
    }
    m_log.push_back(event);
}

std::vector<std::string> Events(const CEventLog& log, const std::string& prefix)
{
    std::vector<std::string> found;
    std::ranges::copy_if(log, std::back_inserter(found),
                         [&prefix](const std::string& event) { return event.starts_with(prefix); });
    return found;
}

} // namespace search_test
