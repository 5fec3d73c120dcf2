#pragma once

#include "download/download_messages.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

// Helpers for tests that run a whole search against the sample listing site with the real
// workers and the real medora.
namespace search_test {

// The workers' reports, queued for the test's thread as the window queues them.
class CTestReportQueue : public IDownloadNotify
{
public:
    void PostDownloadDone(std::uint32_t threadId) override;
    std::optional<std::uint32_t> Take(std::chrono::milliseconds timeout);

private:
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::uint32_t> m_reports;
};

// medora's data folder as medora finds it: beside the running program (for a test, the test
// program), whatever folder its library was loaded from. Points medora at server and gives it
// the delivered template; puts back what was there before when it goes.
class CMedoraFolder
{
public:
    explicit CMedoraFolder(const std::string& server);
    ~CMedoraFolder();
    CMedoraFolder(const CMedoraFolder&) = delete;
    CMedoraFolder& operator=(const CMedoraFolder&) = delete;

    static std::string Folder();

private:
    std::optional<std::string> m_savedSettings;
    std::optional<std::string> m_savedTemplate;
};

// Works in folder (where error.log goes) while it lives.
class CWorkingFolder
{
public:
    explicit CWorkingFolder(const std::string& folder);
    ~CWorkingFolder();
    CWorkingFolder(const CWorkingFolder&) = delete;
    CWorkingFolder& operator=(const CWorkingFolder&) = delete;

private:
    std::string m_strPrevious;
};

// No proxy from the caller's environment: tests talk to loopback only.
void ClearProxyEnvironment();

// UTF-8 text as code page 932 bytes; the text must be writable in it.
std::string Cp932(std::string_view utf8);

// The delivered template's text before and after its insertion line, code page 932, LF.
std::pair<std::string, std::string> TemplateAroundInsertion();

// A file's bytes with every CR removed (medora writes its page in text mode).
std::string ReadWithoutCr(const std::string& path);

} // namespace search_test
