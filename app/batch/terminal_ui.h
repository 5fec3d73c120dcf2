#pragma once

#include "search/run_ports.h"

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace batch {

// The run's prompts on a terminal: messages go to the error stream, the completion question
// is not asked (nothing is opened unless browsing is asked for), and the outcome is kept for
// the exit status.
class CTerminalPrompts : public search::IRunPrompts
{
public:
    explicit CTerminalPrompts(std::ostream& err)
        : m_err(err)
    {}

    void ShowRegionMissing() override;
    bool AskShowResult() override;
    void ShowSearchFailed(const std::string& reason) override;
    void OpenResult(const std::string& browserProgram, const std::string& path) override;

    bool HasMerged() const { return m_merged; }

private:
    std::ostream& m_err;
    bool m_merged = false;
};

// Each job's mark as a line of the output stream, in UTF-8; the counts on the error stream.
// With holdOk (the plug-in counts listings) an "OK" line waits until the result page is written
// and then carries the keyword's counts: "OK\t<keyword>\t42\t3", "-" for a page not compared.
// Lines still waiting when the run ends some other way come without counts. With newOnly the
// output stream gets only the "OK" lines with new listings, and the "NG" lines go to the error
// stream. Whether any job failed is kept for the exit status.
class CTerminalProgress : public search::IRunProgress
{
public:
    CTerminalProgress(std::ostream& out, std::ostream& err, bool holdOk = false,
                      bool newOnly = false)
        : m_out(out)
        , m_err(err)
        , m_holdOk(holdOk)
        , m_newOnly(newOnly)
    {}

    void JobEnded(const std::string& keyword, bool bSucceeded, const std::string& reason) override;
    void ProgressChanged(const search::CRunProgress& progress) override;
    void ListingsCounted(const std::vector<search::KeywordCount>& counts) override;
    void RunEnded() override;

    bool AnyFailed() const { return m_anyFailed; }
    // Every keyword whose page has new listings (UTF-8), with their number, in row order.
    const std::vector<std::pair<std::string, int>>& News() const { return m_news; }

private:
    std::ostream& m_out;
    std::ostream& m_err;
    const bool m_holdOk;
    const bool m_newOnly;
    bool m_anyFailed = false;
    std::vector<std::string> m_held; // keywords of "OK" lines waiting for their counts
    std::vector<std::pair<std::string, int>> m_news;
};

} // namespace batch
