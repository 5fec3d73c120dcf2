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
    m_out << (bSucceeded ? "OK" : "NG") << '\t' << OneField(keyword);
    if (!bSucceeded)
        m_out << '\t' << OneField(reason);
    m_out << std::endl; // each line as its job ends, also into a pipe
}

void CTerminalProgress::ProgressChanged(const search::CRunProgress& progress)
{
    m_err << search::FormatProgress(progress) << std::endl;
}

} // namespace batch
