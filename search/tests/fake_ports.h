#pragma once

#include "keywords/keyword_rows.h"
#include "search/run_ports.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Stand-ins for the run's ports that record what the run asks of them, in one shared event
// log, so a test can drive a run report by report and check the order of everything.
namespace search_test {

using CEventLog = std::vector<std::string>;

class CFakePool;

// A worker that never runs: the test plays its part, setting the outcome before it delivers
// the worker's report to the run.
class CFakeWorker : public search::IDownloadWorker
{
public:
    CFakeWorker(CFakePool& pool, std::uint32_t id);
    ~CFakeWorker() override;

    std::uint32_t GetThreadID() const override { return m_nId; }
    void Resume() override;
    std::int32_t GetError() const override { return m_nError; }
    std::string GetReason() const override { return m_strReason; }
    void StartDownload(const std::string& object, const std::string& saveFile) override;
    void Abort() override;
    void PostQuit() override;
    void WaitForEnd() override;

    std::int32_t m_nError = 0;
    std::string m_strReason;
    std::string m_strObject;   // of the latest job
    std::string m_strSaveFile; // of the latest job

private:
    CFakePool& m_pool;
    std::uint32_t m_nId;
};

class CFakePool : public search::IWorkerPool
{
public:
    explicit CFakePool(CEventLog& log)
        : m_log(log)
    {}

    std::unique_ptr<search::IDownloadWorker> CreateWorker(const std::string& server,
                                                          const std::string& referer) override;
    platform::TempFileResult MakePageFile() override;
    void WriteErrorLog(std::string_view text) override { m_errorLog.emplace_back(text); }

    // The live worker with this ID (IDs are 101, 102, ... in creation order); null once the
    // run has destroyed it.
    CFakeWorker* Worker(std::uint32_t id) const;

    CEventLog& m_log;
    int m_nCreatable = 1000;          // creations that succeed; later ones fail
    std::deque<bool> m_pageFileFails; // one entry per coming page file: true makes it fail
    std::function<void()> m_onResume; // called as each worker is resumed
    std::vector<std::string> m_errorLog;
    std::string m_strServer, m_strReferer; // of the latest creation
    std::map<std::uint32_t, CFakeWorker*> m_live;

private:
    std::uint32_t m_nNextId = 101;
};

struct CRow
{
    std::string text;
    std::string mark;
    std::string reason;
};

class CFakeRows : public keywords::IKeywordRows
{
public:
    explicit CFakeRows(std::vector<std::string> texts);

    std::ptrdiff_t GetRowCount() const override;
    std::string GetRowText(std::ptrdiff_t row) const override;
    void SetRowMark(std::ptrdiff_t row, std::string_view mark, std::string_view reason) override;

    std::vector<std::string> Marks() const;

    std::vector<CRow> m_rows;
    std::function<void(std::ptrdiff_t)> m_onRead; // called as a row's text is read
};

class CFakePrompts : public search::IRunPrompts
{
public:
    explicit CFakePrompts(CEventLog& log)
        : m_log(log)
    {}

    void ShowRegionMissing() override { m_log.push_back("prompt region-missing"); }
    bool AskShowResult() override;
    void ShowSearchFailed() override { m_log.push_back("prompt failed"); }
    void OpenResult(const std::string& browserProgram, const std::string& path) override;

    bool m_bAnswerYes = false;
    std::vector<std::pair<std::string, std::string>> m_opened; // browser, path
    std::function<void()> m_onAsk;

private:
    CEventLog& m_log;
};

class CFakeProgress : public search::IRunProgress
{
public:
    void JobEnded(const std::string& keyword, bool bSucceeded, const std::string& reason) override;
    void ProgressChanged(const search::CRunProgress& progress) override;
    void RunEnded() override { m_updates.push_back("ready"); }

    std::vector<std::string> m_jobs;    // "OK keyword" / "NG keyword reason"
    std::vector<std::string> m_updates; // "ended/failed/total" or "ready"
};

// Events of the log that start with prefix.
std::vector<std::string> EventsStartingWith(const CEventLog& log, const std::string& prefix);

} // namespace search_test
