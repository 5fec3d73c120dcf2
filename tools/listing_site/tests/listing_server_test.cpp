#include "tools/listing_site/listing_server.h"

#include "platform/tests/temp_dir.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

extern char** environ;

namespace listing_site {
namespace {

using namespace std::chrono_literals;

struct CRawResponse
{
    int status = 0;
    std::string head; // status line and headers
    std::string body;
};

// Sends request bytes to 127.0.0.1:port and reads the answer until the server closes.
CRawResponse Exchange(int port, const std::string& request)
{
    CRawResponse response;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return response;
    }
    ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    std::string bytes;
    char buffer[4096];
    pollfd in = {fd, POLLIN, 0};
    while (::poll(&in, 1, 10000) > 0) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    const std::size_t split = bytes.find("\r\n\r\n");
    if (split == std::string::npos || bytes.size() < 12)
        return response;
    response.status = std::stoi(bytes.substr(9, 3));
    response.head = bytes.substr(0, split + 2);
    response.body = bytes.substr(split + 4);
    return response;
}

std::string Get(const std::string& target)
{
    return "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
}

const std::string kSearch = "/tv.php?mode=10&sdate=&ldate=28&shour=05&lhour=24&area=008&key=";
const std::string kDrama = "%83%68%83%89%83%7D";
const std::string kStartLine = "\x3C\x21\x2D\x2D\x20\x81\xAA\x83\x4A\x83\x65\x83\x53\x83\x8A"
                               "\x95\xCF\x8D\x58\x20\x81\x5B\x2D\x2D\x3E\n";

TEST(ListingServer, AnswersSearchesDirectlyAndAsAProxyButNeverForwards)
{
    testing_support::CTempDir dir;
    CSiteOptions options;
    options.logPath = dir.File("site.log");
    CListingServer site(options);
    const int port = site.Start();
    ASSERT_GT(port, 0);

    const CRawResponse direct = Exchange(port, Get(kSearch + kDrama));
    EXPECT_EQ(direct.status, 200);
    EXPECT_NE(direct.head.find("Content-Type: text/html; charset=Shift_JIS"), std::string::npos);
    EXPECT_NE(direct.head.find("Connection: close"), std::string::npos) << "an HTTP/1.0 answer";
    EXPECT_NE(direct.body.find("\n" + kStartLine), std::string::npos);
    EXPECT_NE(direct.body.find("\n<HR NOSHADE>\n"), std::string::npos);

    // The host of an absolute-form target is never contacted: the site answers itself.
    const CRawResponse proxied = Exchange(port, Get("http://127.0.0.1:9" + kSearch + kDrama));
    EXPECT_EQ(proxied.status, 200);
    EXPECT_EQ(proxied.body, direct.body);

    EXPECT_EQ(Exchange(port, Get("/tv.php?area=048&key=A")).status, 400);
    EXPECT_EQ(Exchange(port, Get("/other.php")).status, 404);
    const CRawResponse moved = Exchange(port, Get("/moved" + kSearch + "A"));
    EXPECT_EQ(moved.status, 301);
    EXPECT_NE(moved.head.find("Location: " + kSearch + "A\r\n"), std::string::npos);

    const auto requests = site.GetRequests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(requests[1].requestLine, "GET http://127.0.0.1:9" + kSearch + kDrama + " HTTP/1.0");
    const std::string log = testing_support::ReadFileBytes(dir.File("site.log"));
    EXPECT_TRUE(log.starts_with("GET " + kSearch + kDrama + " HTTP/1.0\nHost: 127.0.0.1\n\n"))
        << log;
}

TEST(ListingServer, InjectsStatusesCutsAndLatency)
{
    CSiteOptions options;
    options.statusByKey["\x83\x68\x83\x89\x83\x7D"] = 503;
    options.resetAfter = 300;
    options.latencyMs = 200;
    CListingServer site(options);
    const int port = site.Start();
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(Exchange(port, Get(kSearch + kDrama)).status, 503);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 200ms);
    const CRawResponse cut = Exchange(port, Get(kSearch + "A"));
    EXPECT_EQ(cut.status, 200);
    EXPECT_EQ(cut.body.size(), 300u);
    EXPECT_NE(cut.head.find("Content-Length: "), std::string::npos);
}

TEST(ListingServer, StopsPromptlyWhileAnAnswerStalls)
{
    CSiteOptions options;
    options.stall = true;
    CListingServer site(options);
    const int port = site.Start();
    std::thread client([port] { Exchange(port, Get(kSearch + "A")); });
    std::this_thread::sleep_for(200ms);
    const auto started = std::chrono::steady_clock::now();
    site.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
    client.join();
}

// The program as scripts use it: the port alone on the first line, ended by SIGTERM.
TEST(ListingSiteProgram, PrintsItsPortAndStopsOnSigterm)
{
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char exe[] = LISTING_SITE_EXE;
    char port0[] = "0";
    char portOption[] = "--port";
    char crlf[] = "--crlf";
    char* argv[] = {exe, portOption, port0, crlf, nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, exe, &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);

    std::string line;
    char c = 0;
    pollfd in = {out[0], POLLIN, 0};
    while (::poll(&in, 1, 10000) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n')
        line += c;
    ::close(out[0]);
    const int port = line.empty() ? 0 : std::stoi(line);
    EXPECT_GT(port, 0) << line;
    if (port > 0) {
        const CRawResponse page = Exchange(port, Get(kSearch + kDrama));
        EXPECT_EQ(page.status, 200);
        EXPECT_NE(page.body.find("\r\n<HR NOSHADE>\r\n"), std::string::npos);
    }
    ::kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace
} // namespace listing_site
