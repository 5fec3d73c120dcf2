#include "app/batch/terminal_ui.h"

#include "platform/page_opener.h"

namespace batch {
namespace {

// A tab or line break inside a field would break the line format.
std::string OneField(std::string text)
{
    for (char& c : text) {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    return text;
}

} // namespace

void CTerminalPrompts::ShowRegionMissing()
{
    m_err << "地域を選択してください。\n";
}

bool CTerminalPrompts::AskShowResult()
{
    m_merged = true;
    return false; // the path is printed instead; nothing is opened without a window
}

void CTerminalPrompts::ShowSearchFailed(const std::string& reason)
{
    m_err << "検索に失敗しました。\n";
    if (!reason.empty())
        m_err << reason << '\n';
}

void CTerminalPrompts::OpenResult(const std::string& browserProgram, const std::string& path)
{
    // Without a window there is nothing else to do meanwhile: wait for the program's verdict.
    const platform::Result<std::unique_ptr<platform::OpenerProcess>> opener =
        platform::StartOpener(browserProgram, path);
    const std::string why = opener ? opener.value->Finish() : opener.error;
    if (!why.empty())
        m_err << platform::OpenFailureText(path, why) << '\n';
}

void CTerminalProgress::JobEnded(const std::string& keyword, bool bSucceeded,
                                 const std::string& reason)
{
    m_anyFailed = m_anyFailed || !bSucceeded;
    if (bSucceeded && m_holdOk) {
        m_held.push_back(keyword);
        return;
    }
    if (bSucceeded && m_newOnly)
        return; // nothing can be new without counts
    std::ostream& stream = m_newOnly ? m_err : m_out;
    stream << (bSucceeded ? "OK" : "NG") << '\t' << OneField(keyword);
    if (!bSucceeded)
        stream << '\t' << OneField(reason);
    stream << std::endl; // each line as its job ends, also into a pipe
}

void CTerminalProgress::ListingsCounted(const std::vector<search::KeywordCount>& counts)
{
    m_held.clear(); // every one of them is among the counts
    for (const search::KeywordCount& keyword : counts) {
        const int fresh = keyword.count.fresh.value_or(0);
        if (fresh > 0)
            m_news.emplace_back(keyword.keyword, fresh);
        if (m_newOnly && fresh <= 0)
            continue;
        m_out << "OK\t" << OneField(keyword.keyword) << '\t' << keyword.count.listings << '\t'
              << (keyword.count.fresh ? std::to_string(*keyword.count.fresh) : "-") << '\n';
    }
    m_out.flush();
}

void CTerminalProgress::RunEnded()
{
    // No counts came: the merge failed or the run was stopped. Each keyword still gets its line.
    for (const std::string& keyword : m_held) {
        if (!m_newOnly)
            m_out << "OK\t" << OneField(keyword) << '\n';
    }
    m_held.clear();
    m_out.flush();
}

void CTerminalProgress::ProgressChanged(const search::CRunProgress& progress)
{
    m_err << search::FormatProgress(progress) << std::endl;
}

} // namespace batch
