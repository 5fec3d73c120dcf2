// The programs that show a page: started as their own session with the path as their one
// argument, their failures told with the path.
#include "platform/page_opener.h"
#include "platform/tests/recording_program.h"
#include "platform/tests/scoped_env.h"
#include "platform/tests/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Standard output sent to a file for as long as it lives, so that a program that inherited
// it unchanged can be told from one whose output was moved to standard error.
class StdoutToFile
{
public:
    explicit StdoutToFile(const std::string& path)
        : m_saved(::dup(STDOUT_FILENO))
    {
        std::fflush(stdout);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ::dup2(fd, STDOUT_FILENO);
        ::close(fd);
    }
    ~StdoutToFile()
    {
        std::fflush(stdout);
        ::dup2(m_saved, STDOUT_FILENO);
        ::close(m_saved);
    }
    StdoutToFile(const StdoutToFile&) = delete;
    StdoutToFile& operator=(const StdoutToFile&) = delete;

private:
    int m_saved;
};

struct OpenerCase
{
    const char* name;
    bool browser;         // else the desktop's handler, from PATH
    std::string tail;     // what the program does after recording; empty: there is none
    std::string error;    // "%p" stands for the program's path; empty: no failure
    bool recorded = true; // the program ran and recorded its start
};

void PrintTo(const OpenerCase& c, std::ostream* os)
{
    *os << c.name;
}

class Opener : public ::testing::TestWithParam<OpenerCase>
{
protected:
    testing_support::CTempDir m_work;
};

TEST_P(Opener, StartsTheProgramWithThePathAloneAndTellsWhyItFailed)
{
    const OpenerCase& c = GetParam();
    const std::string bin = m_work.File("bin"), record = m_work.File("record.txt");
    fs::create_directory(bin);
    const std::string program = c.browser ? m_work.File("my \"browser\" 1") : bin + "/xdg-open";
    if (!c.tail.empty())
        testing_support::WriteRecordingProgram(program, record, c.tail);
    testing_support::CScopedEnv path{{"PATH", bin.c_str()}}; // where xdg-open is looked for
    const std::string page = m_work.File("watch 'a' \"b\"_東京_20261208_medora.html");

    std::string why;
    bool started = false;
    {
        const StdoutToFile output(m_work.File("stdout.txt"));
        platform::Result<std::unique_ptr<platform::OpenerProcess>> opener =
            platform::StartOpener(c.browser ? program : "", page);
        started = static_cast<bool>(opener);
        why = opener ? opener.value->Finish() : opener.error;
    }

    std::string error = c.error;
    if (const std::size_t at = error.find("%p"); at != std::string::npos)
        error.replace(at, 2, c.browser ? program : "xdg-open");
    EXPECT_EQ(why, error);
    EXPECT_EQ(started, c.recorded);
    if (c.recorded) {
        EXPECT_EQ(testing_support::ReadFileBytes(record), "1|" + page + "|/dev/null|on-stderr|own");
    }
    EXPECT_EQ(platform::OpenFailureText(page, "why"),
              "検索結果をブラウザで表示できませんでした。\nwhy\n" + page);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Opener,
    ::testing::Values(
        OpenerCase{"Browser", true, "exit 0", ""},
        OpenerCase{"BrowserFails", true, "exit 1", "「%p」が失敗しました (終了コード 1)"},
        OpenerCase{"BrowserKilled", true, "kill -TERM $$",
                   "「%p」が異常終了しました (シグナル 15)"},
        OpenerCase{"BrowserMissing", true, "", "「%p」を起動できません (No such file or directory)",
                   false},
        OpenerCase{"DesktopHandler", false, "exit 0", ""},
        OpenerCase{"DesktopHandlerFails", false, "exit 3", "「%p」が失敗しました (終了コード 3)"},
        OpenerCase{"NoDesktopHandler", false, "",
                   "「%p」を起動できません (No such file or directory)", false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
