#include "batch_fixture.h"

#include "app/batch/batch_run.h"
#include "download/curl_global.h"
#include "platform/cp932.h"
#include "platform/program_folder.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace batch_test {
namespace {

namespace fs = std::filesystem;

std::string MedoraFile(const std::string& name)
{
    return platform::ProgramFolder() + "Plugin/medora/" + name;
}

// libcurl's global set-up for the whole test program, as main() holds it for the program.
class CCurlEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { m_curl.emplace(); }
    void TearDown() override { m_curl.reset(); }

private:
    std::optional<download::CurlGlobal> m_curl;
};

[[maybe_unused]] const ::testing::Environment* const kCurl =
    ::testing::AddGlobalTestEnvironment(new CCurlEnvironment);

} // namespace

std::string Cp932(std::string_view utf8)
{
    return platform::Utf8ToCp932(utf8).value;
}

CBatchTest::CBatchTest()
    : m_strPreviousFolder(fs::current_path().string())
{
    m_noProxy.ClearProxies();
    fs::current_path(m_work.Path()); // where error.log goes
    fs::create_directories(m_program.File("Plugin"));
    fs::create_symlink(MEDORA_MODULE_PATH, m_program.File("Plugin/medora.so"));
    fs::create_directories(MedoraFile(""));
    for (const char* name : {"medora.ini", "template.html"}) {
        std::optional<std::string>& saved = m_savedMedora[name];
        if (fs::exists(MedoraFile(name)))
            saved = testing_support::ReadFileBytes(MedoraFile(name));
    }
    testing_support::WriteFileBytes(MedoraFile("template.html"),
                                    testing_support::ReadFileBytes(MEDORA_TEMPLATE_PATH));
}

CBatchTest::~CBatchTest()
{
    if (m_sitePid > 0) {
        ::close(m_siteLifeline);
        ::kill(m_sitePid, SIGKILL);
        ::waitpid(m_sitePid, nullptr, 0);
    }
    for (const auto& [name, bytes] : m_savedMedora) {
        fs::remove(MedoraFile(name));
        if (bytes)
            testing_support::WriteFileBytes(MedoraFile(name), *bytes);
    }
    std::error_code ec;
    fs::current_path(m_strPreviousFolder, ec);
}

void CBatchTest::StartSite(listing_site::CSiteOptions options)
{
    m_site = std::make_unique<listing_site::CListingServer>(std::move(options));
    const int port = m_site->Start();
    ASSERT_GT(port, 0);
    PointMedoraAt("127.0.0.1:" + std::to_string(port));
}

void CBatchTest::StartSiteInChild(listing_site::CSiteOptions options)
{
    ASSERT_EQ(m_sitePid, -1);
    int portPipe[2], lifeline[2];
    ASSERT_EQ(::pipe2(portPipe, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(lifeline, O_CLOEXEC), 0);
    m_sitePid = ::fork();
    ASSERT_GE(m_sitePid, 0);
    if (m_sitePid == 0) {
        ::close(portPipe[0]);
        ::close(lifeline[1]);
        listing_site::CListingServer site(std::move(options));
        const int port = site.Start();
        if (::write(portPipe[1], &port, sizeof port) != sizeof port)
            ::_exit(1);
        char byte;
        ssize_t n; // until the test closes its end, or goes away
        while ((n = ::read(lifeline[0], &byte, 1)) != 0 && (n > 0 || errno == EINTR)) {
        }
        ::_exit(0); // the server's threads end with the process
    }
    ::close(portPipe[1]);
    ::close(lifeline[0]);
    m_siteLifeline = lifeline[1];
    int port = -1;
    const ssize_t got = ::read(portPipe[0], &port, sizeof port);
    ::close(portPipe[0]);
    ASSERT_EQ(got, static_cast<ssize_t>(sizeof port));
    ASSERT_GT(port, 0);
    PointMedoraAt("127.0.0.1:" + std::to_string(port));
}

std::string CBatchTest::AddTestPlugins()
{
    for (const std::string plugin : {"counting", "plain"}) {
        std::filesystem::create_symlink(std::string(TEST_PLUGIN_DIR) + "/" + plugin + ".so",
                                        m_program.File("Plugin/" + plugin + ".so"));
    }
    return "127.0.0.1:" + std::to_string(m_site->GetPort());
}

void CBatchTest::PointMedoraAt(const std::string& server)
{
    testing_support::WriteFileBytes(MedoraFile("medora.ini"), "[Site]\nServer=" + server + "\n");
}

std::string CBatchTest::WriteKeywords(const std::vector<std::string>& utf8Lines,
                                      const std::string& name)
{
    std::string bytes;
    for (const std::string& line : utf8Lines)
        bytes += Cp932(line) + "\r\n";
    testing_support::WriteFileBytes(m_work.File(name), bytes);
    return m_work.File(name);
}

CBatchTest::COutcome CBatchTest::Run(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    COutcome outcome;
    outcome.code = batch::RunCommandLine(args, ProgramFolder(), out, err);
    outcome.out = out.str();
    outcome.err = err.str();
    std::istringstream lines(outcome.out);
    for (std::string line; std::getline(lines, line);)
        outcome.lines.push_back(line);
    return outcome;
}

} // namespace batch_test
