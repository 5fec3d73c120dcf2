#pragma once

#include "search/run_ports.h"

#include <ostream>

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
// Whether any job failed is kept for the exit status.
class CTerminalProgress : public search::IRunProgress
{
public:
    CTerminalProgress(std::ostream& out, std::ostream& err)
        : m_out(out)
        , m_err(err)
    {}

    void JobEnded(const std::string& keyword, bool bSucceeded, const std::string& reason) override;
    void ProgressChanged(const search::CRunProgress& progress) override;
    void RunEnded() override {}

    bool AnyFailed() const { return m_anyFailed; }

private:
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_anyFailed = false;
};

} // namespace batch
