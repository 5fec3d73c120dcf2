// The program as scripts use it: options, the port alone on the first line, SIGTERM to stop.
#include "platform/tests/temp_dir.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <httplib.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

extern char** environ;

namespace {

// Runs listing-site with args; its standard output comes through out.
pid_t Spawn(std::vector<std::string> args, int& out)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe2 failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    args.insert(args.begin(), LISTING_SITE_EXE);
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child = -1;
    if (posix_spawn(&child, LISTING_SITE_EXE, &actions, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start " LISTING_SITE_EXE);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    out = pipeFds[0];
    return child;
}

// Stops the child with SIGTERM at the latest when it goes away, so no test leaves one behind.
class CChild
{
public:
    explicit CChild(pid_t pid)
        : m_pid(pid)
    {}
    ~CChild()
    {
        if (m_pid > 0)
            Stop(SIGTERM);
    }
    // Sends the signal (0: none) and returns the child's exit code, or -1.
    int Stop(int signal)
    {
        if (signal != 0)
            ::kill(m_pid, signal);
        int status = 0;
        const bool ended = ::waitpid(m_pid, &status, 0) == m_pid;
        m_pid = -1;
        return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid;
};

TEST(ListingSiteProgram, ServesOnTheFreePortItPrintsUntilSigterm)
{
    testing_support::CTempDir dir;
    int out = -1;
    CChild child(Spawn(
        {"--port", "0", "--crlf", "--log", dir.File("site.log"), "--page-bytes", "300000"}, out));
    ASSERT_GE(out, 0);
    std::FILE* stream = ::fdopen(out, "r");
    char line[32] = {};
    const bool gotLine = std::fgets(line, sizeof line, stream) != nullptr;
    std::fclose(stream);
    const int port = gotLine ? std::atoi(line) : 0;
    EXPECT_GT(port, 0) << line;
    EXPECT_EQ(std::string(line), std::to_string(port) + "\n");
    if (port > 0) {
        httplib::Client client("127.0.0.1", port);
        const std::string target = "/tv.php?sdate=&ldate=28&area=008&key=%83%68%83%89%83%7D";
        const auto page = client.Get(target);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->status, 200);
        EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=Shift_JIS");
        EXPECT_NE(page->body.find("\r\n<HR NOSHADE>\r\n"), std::string::npos);
        EXPECT_EQ(page->body.size(), 300000u);
        EXPECT_EQ(client.Get("/tv.php?area=048&key=A")->status, 400);
        EXPECT_EQ(client.Get("/other.php")->status, 404);
        const auto moved = client.Get("/moved/tv.php?area=008");
        EXPECT_EQ(moved->status, 301);
        EXPECT_EQ(moved->get_header_value("Location"), "/tv.php?area=008");
        for (const char* offSite : {"/moved//elsewhere.example/tv.php", "/moved/%2F/x.example/",
                                    "/moved/\\x.example/tv.php"}) {
            const auto staying = client.Get(offSite);
            ASSERT_TRUE(staying);
            const std::string location = staying->get_header_value("Location");
            EXPECT_TRUE(location.starts_with("/") && location.find_first_of("/\\", 1) != 1)
                << offSite << " -> " << location;
        }
        const std::string log = testing_support::ReadFileBytes(dir.File("site.log"));
        EXPECT_TRUE(log.starts_with("GET " + target + " HTTP/1.1\n")) << log;
    }
    EXPECT_EQ(child.Stop(SIGTERM), 0);
}

class BadOptionsTest : public ::testing::TestWithParam<std::vector<std::string>>
{
};

TEST_P(BadOptionsTest, AreRefusedWithExitCode2)
{
    int out = -1;
    CChild child(Spawn(GetParam(), out));
    ::close(out);
    EXPECT_EQ(child.Stop(0), 2);
}

INSTANTIATE_TEST_SUITE_P(Options, BadOptionsTest,
                         ::testing::Values(std::vector<std::string>{"--port"},
                                           std::vector<std::string>{"--port", "65536"},
                                           std::vector<std::string>{"--latency-ms", "-1"},
                                           std::vector<std::string>{"--status", "key=99"},
                                           std::vector<std::string>{"--status", "\xFF=404"},
                                           std::vector<std::string>{"--reset-after", "x"},
                                           std::vector<std::string>{"--page-bytes", "-5"},
                                           std::vector<std::string>{"--page-bytes", "67108865"},
                                           std::vector<std::string>{"--content-encoding", ""},
                                           std::vector<std::string>{"--content-encoding",
                                                                    "gzip\r\nX-Added: 1"},
                                           std::vector<std::string>{"--bind", "0.0.0.0"}));

} // namespace
