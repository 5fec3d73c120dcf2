#include "site_support.h"

#include "platform/cp932.h"
#include "platform/program_folder.h"
#include "platform/tests/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace search_test {
namespace {

std::optional<std::string> Take(const std::string& path)
{
    if (!std::filesystem::exists(path))
        return std::nullopt;
    std::string bytes = testing_support::ReadFileBytes(path);
    std::filesystem::remove(path);
    return bytes;
}

void PutBack(const std::string& path, const std::optional<std::string>& bytes)
{
    std::filesystem::remove(path);
    if (bytes)
        testing_support::WriteFileBytes(path, *bytes);
}

} // namespace

void CTestReportQueue::PostDownloadDone(std::uint32_t threadId)
{
    {
        const std::lock_guard lock(m_mutex);
        m_reports.push_back(threadId);
    }
    m_posted.notify_one();
}

std::optional<std::uint32_t> CTestReportQueue::Take(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    if (!m_posted.wait_for(lock, timeout, [this] { return !m_reports.empty(); }))
        return std::nullopt;
    const std::uint32_t id = m_reports.front();
    m_reports.pop_front();
    return id;
}

CMedoraFolder::CMedoraFolder(const std::string& server)
{
    std::filesystem::create_directories(Folder());
    m_savedSettings = Take(Folder() + "medora.ini");
    m_savedTemplate = Take(Folder() + "template.html");
    testing_support::WriteFileBytes(Folder() + "medora.ini", "[Site]\nServer=" + server + "\n");
    testing_support::WriteFileBytes(Folder() + "template.html",
                                    testing_support::ReadFileBytes(MEDORA_TEMPLATE_PATH));
}

CMedoraFolder::~CMedoraFolder()
{
    PutBack(Folder() + "medora.ini", m_savedSettings);
    PutBack(Folder() + "template.html", m_savedTemplate);
}

std::string CMedoraFolder::Folder()
{
    return platform::ProgramFolder() + "Plugin/medora/";
}

CWorkingFolder::CWorkingFolder(const std::string& folder)
    : m_strPrevious(std::filesystem::current_path().string())
{
    std::filesystem::current_path(folder);
}

CWorkingFolder::~CWorkingFolder()
{
    std::error_code ec;
    std::filesystem::current_path(m_strPrevious, ec);
}

void ClearProxyEnvironment()
{
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                             "ALL_PROXY", "no_proxy", "NO_PROXY"})
        unsetenv(name);
}

std::string Cp932(std::string_view utf8)
{
    platform::Cp932Result converted = platform::Utf8ToCp932(utf8);
    EXPECT_TRUE(converted.text) << converted.error;
    return converted.text.value_or(std::string());
}

std::pair<std::string, std::string> TemplateAroundInsertion()
{
    const std::string page = testing_support::ReadFileBytes(MEDORA_TEMPLATE_PATH);
    const std::string marker = "<!-- template replace -->\n";
    const std::size_t at = page.find(marker);
    EXPECT_NE(at, std::string::npos);
    if (at == std::string::npos)
        return {};
    return {page.substr(0, at), page.substr(at + marker.size())};
}

std::string ReadWithoutCr(const std::string& path)
{
    std::string bytes = testing_support::ReadFileBytes(path);
    std::erase(bytes, '\r');
    return bytes;
}

} // namespace search_test
