#pragma once

#include "keywords/keyword_rows.h"
#include "platform/run_folder.h"
#include "search/run_ports.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Stand-ins for the run's ports. Everything the run asks of them goes into one event log, so
// a test can drive a run report by report and check the order of everything.
namespace search_test {

using CEventLog = std::vector<std::string>;
class CFakePool;

// A worker that never runs: the test plays it, delivering its reports to the run.
class CFakeWorker : public search::IDownloadWorker
{
public:
    CFakeWorker(CFakePool& pool, std::uint32_t id);
    ~CFakeWorker() override;

    std::uint32_t GetThreadID() const override { return m_nId; }
    void Resume() override;
    void StartDownload(const std::string& object, const std::string& saveFile) override;
    void Abort() override { Log("abort"); }
    void PostQuit() override { Log("quit"); }
    void WaitForEnd() override { Log("wait"); }

    std::string m_strObject, m_strSaveFile; // of the latest job

private:
    void Log(const std::string& what);

    CFakePool& m_pool;
    std::uint32_t m_nId;
};

// Workers get IDs 101, 102, ... in creation order.
class CFakePool : public search::IWorkerPool
{
public:
    explicit CFakePool(CEventLog& log)
        : m_log(log)
    {}

    std::unique_ptr<search::IDownloadWorker> CreateWorker(const std::string& server,
                                                          const std::string& referer) override;
    platform::Result<std::string> MakePageFile() override;
    void DeletePageFolder() override { m_pageFolder.Remove(); }
    void WriteErrorLog(std::string_view text) override { m_errorLog.emplace_back(text); }

    CFakeWorker* Worker(std::uint32_t id) const; // null once the run has destroyed it

    CEventLog& m_log;
    int m_nCreatable = 1000;          // creations that succeed; later ones fail
    std::deque<bool> m_pageFileFails; // per coming page file: true makes it fail
    std::function<void()> m_onResume;
    std::vector<std::string> m_errorLog;
    std::map<std::uint32_t, CFakeWorker*> m_live;

private:
    std::uint32_t m_nNextId = 101;
    platform::RunFolder m_pageFolder; // as the real pool keeps the pages
};

struct CRow
{
    std::string text, mark, reason;
};

class CFakeRows : public keywords::IKeywordRows
{
public:
    std::ptrdiff_t GetRowCount() const override { return std::ssize(m_rows); }
    std::string GetRowText(std::ptrdiff_t row) const override;
    void SetRowMark(std::ptrdiff_t row, std::string_view mark, std::string_view reason) override;
    platform::Result<std::string> GetRowSearchText(std::ptrdiff_t row) const override;
    std::string ToUtf8(std::string_view rowText) const override;
    std::vector<std::string> Marks() const;
    std::vector<std::string> MarksWithReasons() const; // "NG why" for a mark with a reason

    std::vector<CRow> m_rows;
    std::function<void(std::ptrdiff_t)> m_onRead;          // called as a row's text is read
    std::map<std::string, std::string> m_unsearchable;     // row text -> why it cannot be searched
    std::function<std::string(std::string_view)> m_toUtf8; // none: from code page 932
};

// The prompts and the progress in one: each call is an event of the log.
class CRecorder : public search::IRunPrompts, public search::IRunProgress
{
public:
    explicit CRecorder(CEventLog& log)
        : m_log(log)
    {}

    void ShowRegionMissing() override { m_log.push_back("region-missing"); }
    bool AskShowResult() override;
    void ShowSearchFailed(const std::string& reason) override
    {
        m_log.push_back(reason.empty() ? "failed" : "failed " + reason);
    }
    void OpenResult(const std::string& browser, const std::string& path) override;
    void JobEnded(const std::string& keyword, bool bSucceeded, const std::string& reason) override;
    void ProgressChanged(const search::CRunProgress& p) override;
    void RunEnded() override { m_log.push_back("ready"); }
    // "counts a 42/3 b 7/-": each keyword with its listings and new ones ("-": not compared).
    void ListingsCounted(const std::vector<search::KeywordCount>& counts) override;

    bool m_bAnswerYes = false;
    std::function<void()> m_onAsk;

private:
    CEventLog& m_log;
};

// The events of the log that start with prefix.
std::vector<std::string> Events(const CEventLog& log, const std::string& prefix);

} // namespace search_test
