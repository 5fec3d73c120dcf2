// The merged result page in a real browser (Debian's chromium, headless): listings that try to
// fetch from outside or to navigate away do neither, and their inline styles still apply. A
// bare page with the same listings shows that the browser would have done both.
#include "devtools_browser.h"
#include "plugins/medora/merge.h"
#include "recording_server.h"

#include "platform/tests/temp_dir.h"

#include <gmock/gmock.h>

#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testing_support::CTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

struct BrowserRun
{
    bool ended = false;
    std::string dom;     // the document as it stood when the browser was done
    std::string console; // the browser's log, with the page's console messages
};

// Loads page in a headless chromium of its own (fresh profile, no proxy) and waits for it to
// end. Virtual time lets the page's timers, a refresh among them, run before the dump.
BrowserRun LoadInChromium(const std::string& chromium, const std::string& page,
                          const CTempDir& scratch)
{
    const std::string profile = scratch.File("profile-" + fs::path(page).stem().string());
    const std::string dom = page + ".dom";
    const std::string console = page + ".log";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, dom.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, console.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    const pid_t pid = medora_test::SpawnWithHome(
        medora_test::HeadlessChromium(chromium, profile,
                                      {"--enable-logging=stderr", "--v=0",
                                       "--virtual-time-budget=5000", "--dump-dom",
                                       "file://" + page}),
        scratch.Path(), actions);
    posix_spawn_file_actions_destroy(&actions);
    BrowserRun run;
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return run;
    run.ended = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.dom = ReadFileBytes(dom);
    run.console = ReadFileBytes(console);
    return run;
}

// Listing lines a hostile or careless listing site could send, aimed at the recording server.
std::string HostileListing(int port)
{
    const std::string outside = "http://127.0.0.1:" + std::to_string(port);
    return "<p><img src=\"" + outside +
           "/img\" alt=\"\"></p>\n"
           "<div style=\"background-image: url(" +
           outside +
           "/css-url)\">css</div>\n"
           "<link rel=prefetch href=\"" +
           outside +
           "/prefetch\">\n"
           "<link rel=\"preload\" as=\"image\" href=\"" +
           outside +
           "/preload\">\n"
           "<video poster=\"" +
           outside +
           "/poster\"></video>\n"
           "<p><img src=\"data:image/gif;base64,R0lGODlhAQABAAAAACw=\" alt=\"\"></p>\n"
           "<p id=\"styled\" style=\"color: rgb(1, 2, 3)\">styled</p>\n"
           "<META\nHTTP-EQUIV=Refresh CONTENT=\"0; URL=" +
           outside + "/away\">\n";
}

TEST(ResultPageInChromium, ListingsNeitherFetchFromOutsideNorNavigateAway)
{
    const std::optional<std::string> chromium = medora_test::FindProgram("chromium");
    if (!chromium)
        GTEST_SKIP() << "chromium is not installed (apt-get install chromium); not checked";
    CTempDir scratch;
    medora_test::RecordingServer outside;
    ASSERT_GT(outside.Port(), 0);
    const std::string listing = HostileListing(outside.Port());

    // The same lines in a page of their own: the browser fetches and navigates.
    const std::string bare = scratch.File("bare.html");
    WriteFileBytes(bare, "<!DOCTYPE html>\n<html><body>\n" + listing + "</body></html>\n");
    const BrowserRun control = LoadInChromium(*chromium, bare, scratch);
    ASSERT_TRUE(control.ended) << control.console;
    const std::vector<std::string> controlRequests = outside.Stop();
    // The request for /away is the navigation; the dump itself may be taken while the browser
    // is between the two pages (an empty dump on a loaded machine), so it proves nothing here.
    EXPECT_THAT(controlRequests,
                ::testing::IsSupersetOf({"GET /img HTTP/1.1", "GET /away HTTP/1.1"}));

    medora_test::RecordingServer watched;
    ASSERT_GT(watched.Port(), 0);
    const std::string page = scratch.File("~TV0");
    WriteFileBytes(page, "<!-- \x81\xAA\x83\x4A\x83\x65\x83\x53\x83\x8A\x95\xCF\x8D\x58 "
                         "\x81\x5B-->\n" +
                             HostileListing(watched.Port()) + "<HR NOSHADE>\n");
    const std::string result = scratch.File("result.html");
    const char* const pages[] = {page.c_str(), nullptr};
    ASSERT_EQ(medora::MergeDownloadFiles(result.c_str(), pages, MEDORA_TEMPLATE_PATH), 0);
    const BrowserRun merged = LoadInChromium(*chromium, result, scratch);
    ASSERT_TRUE(merged.ended) << merged.console;

    EXPECT_THAT(watched.Stop(), IsEmpty()) << "the result page reached outside";
    EXPECT_THAT(merged.dom, AllOf(Not(HasSubstr("AWAY")), HasSubstr("id=\"styled\"")));
    // The policy's own reports: outside images refused, while inline styles and data: images
    // are never refused.
    EXPECT_THAT(merged.console,
                HasSubstr("Loading the image '" + std::string("http://127.0.0.1:")));
    EXPECT_THAT(merged.console, Not(HasSubstr("style-src")));
    EXPECT_THAT(merged.console, Not(HasSubstr("data:image")));
}

} // namespace
