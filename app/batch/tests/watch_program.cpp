#include "watch_program.h"

#include "platform/cp932.h"
#include "tools/listing_site/listing_server.h"

#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace batch_test {
namespace {

namespace fs = std::filesystem;

// The program finds its settings and plug-ins beside its own file, so it must be there in
// person: a hard link where the file system allows, else a copy.
void PlaceFile(const std::string& from, const std::string& to)
{
    std::error_code linkError;
    fs::create_hard_link(from, to, linkError);
    if (linkError)
        fs::copy_file(from, to);
}

// A socket file left by a bus that has gone: connecting is refused.
void MakeDeadSocket(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    path.copy(address.sun_path, path.size());
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

} // namespace

WatchProgramTest::WatchProgramTest()
{
    fs::create_directories(InProgram("Plugin/medora"));
    fs::create_directory(m_dir.File("tmp"));
    fs::create_directory(m_dir.File("home"));
    fs::create_directory(WorkFolder());
    PlaceFile(VISTREL_PROGRAM_PATH, InProgram("Vistrel"));
    PlaceFile(MEDORA_MODULE_PATH, InProgram("Plugin/medora.so"));
    fs::copy_file(MEDORA_TEMPLATE_PATH, InProgram("Plugin/medora/template.html"));
    fs::copy_file(WATCHLIST_PATH, InProgram("watchlist.txt"));
    WriteSettings(m_browser);
}

void WatchProgramTest::WriteSettings(const std::string& browser) const
{
    // Direct connections: a proxy from the environment must not take the loopback requests.
    testing_support::WriteFileBytes(InProgram("Vistrel.ini"),
                                    "[Settings\\Proxy]\nIESetting=0\nEnable=0\n[Settings\\etc]\n"
                                    "Browser=" +
                                        browser + "\n");
}

WatchProgramTest::Outcome WatchProgramTest::Run(const listing_site::CSiteOptions& siteOptions,
                                                const std::vector<std::string>& options,
                                                const Env& env)
{
    listing_site::CListingServer site(siteOptions);
    const int port = site.Start();
    EXPECT_GT(port, 0);
    testing_support::WriteFileBytes(InProgram("Plugin/medora/medora.ini"),
                                    "[Site]\nServer=127.0.0.1:" + std::to_string(port) + "\n");

    std::vector<std::string> argv{
        InProgram("Vistrel"), "--search", InProgram("watchlist.txt"), "--area", "東京",
        "--plugin",           "medora"};
    argv.insert(argv.end(), options.begin(), options.end());
    // Nothing of the test's user: its home, its folders, its temporary files.
    Env fullEnv = env;
    fullEnv.emplace("TMPDIR", m_dir.File("tmp"));
    fullEnv.emplace("HOME", m_dir.File("home"));
    for (const char* name :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"})
        fullEnv.emplace(name, std::nullopt);
    const std::string errPath = m_dir.File("stderr.txt");
    SpawnedProgram program(argv, fullEnv, errPath, WorkFolder());
    EXPECT_TRUE(program.Started());
    Outcome outcome;
    std::istringstream out(program.ReadAll());
    for (std::string line; std::getline(out, line);)
        outcome.lines.push_back(line);
    outcome.status = program.Wait();
    outcome.err = testing_support::ReadFileBytes(errPath);
    return outcome;
}

NotifyBusTest::Env WatchProgramTest::DeadBusEnv() const
{
    const std::string socket = m_dir.File("dead bus");
    if (!fs::exists(socket))
        MakeDeadSocket(socket);
    fs::create_directories(m_dir.File("empty runtime"));
    return {{"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + socket},
            {"XDG_RUNTIME_DIR", m_dir.File("empty runtime")}};
}

std::vector<std::string> WatchProgramTest::Keywords() const
{
    std::istringstream text(platform::Cp932ToUtf8(testing_support::ReadFileBytes(WATCHLIST_PATH)));
    std::vector<std::string> keywords;
    for (std::string line; std::getline(text, line);) {
        if (line.ends_with('\r'))
            line.pop_back();
        if (!line.empty())
            keywords.push_back(line);
    }
    return keywords;
}

void WatchProgramTest::RestoreFirstPage(const std::string& path, const std::string& bytes) const
{
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(path).parent_path())) {
        if (entry.path().extension() == ".html")
            fs::remove(entry.path());
    }
    testing_support::WriteFileBytes(path, bytes);
}

} // namespace batch_test
