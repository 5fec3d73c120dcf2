// The window's opener of result pages: it never waits for the program it starts, and tells
// the user, with the page's path, when the program cannot start or fails.
#include "app/result_launcher.h"
#include "platform/tests/temp_dir.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Lets the event loop run until pred holds; it waits for events, never for time.
template <typename Pred>
void ProcessEventsUntil(Pred pred)
{
    while (!pred())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

class ResultLauncher : public ::testing::Test
{
protected:
    // A program that ends with status once it has been let go through gate.
    std::string GatedProgram(int status)
    {
        const std::string program = m_dir.File("browser"), gate = m_dir.File("gate");
        EXPECT_EQ(::mkfifo(gate.c_str(), 0600), 0);
        testing_support::WriteFileBytes(program, "#!/bin/sh\nread line < '" + gate + "'\nexit " +
                                                     std::to_string(status) + "\n");
        fs::permissions(program, fs::perms::owner_exec, fs::perm_options::add);
        return program;
    }
    void LetGo()
    {
        const int fd = ::open(m_dir.File("gate").c_str(), O_WRONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "go\n", 3), 3);
        ::close(fd);
    }

    testing_support::CTempDir m_dir;
    const std::string m_page = m_dir.File("watch_東京_20261208_medora.html");
    std::vector<std::string> m_told;
    app::ResultLauncher m_launcher{[this](const std::string& text) { m_told.push_back(text); }};
};

struct CEndCase
{
    const char* name;
    int status;
    std::string told; // empty: nothing
};

class ProgramEnds : public ResultLauncher, public ::testing::WithParamInterface<CEndCase>
{
};

TEST_P(ProgramEnds, WithoutBeingWaitedForAndIsToldOnlyWhenItFailed)
{
    const std::string program = GatedProgram(GetParam().status);
    m_launcher.Open(program, m_page);
    EXPECT_EQ(m_launcher.Running(), 1u) << "Open returned while the program still runs";
    EXPECT_TRUE(m_told.empty());

    LetGo();
    ProcessEventsUntil([this] { return m_launcher.Running() == 0; });

    std::vector<std::string> told;
    if (!GetParam().told.empty()) {
        told.push_back("検索結果をブラウザで表示できませんでした。\n「" + program + "」" +
                       GetParam().told + "\n" + m_page);
    }
    EXPECT_EQ(m_told, told);
}

INSTANTIATE_TEST_SUITE_P(Table, ProgramEnds,
                         ::testing::Values(CEndCase{"Succeeds", 0, ""},
                                           CEndCase{"Fails", 1, "が失敗しました (終了コード 1)"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ResultLauncher, AProgramThatCannotStartIsToldAtOnce)
{
    const std::string missing = m_dir.File("no browser");
    m_launcher.Open(missing, m_page);
    ASSERT_EQ(m_told.size(), 1u);
    EXPECT_EQ(m_told[0], "検索結果をブラウザで表示できませんでした。\n「" + missing +
                             "」を起動できません (No such file or directory)\n" + m_page);
    EXPECT_EQ(m_launcher.Running(), 0u);
}

} // namespace
