// Whole searches through the window: F5 with the real workers, the built medora and the
// sample site, as a user would run them.
#include "app/command_ids.h"
#include "app/status_bar.h"
#include "app/tests/window_fixture.h"
#include "platform/tests/scoped_env.h"

#include <QLabel>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace app;
using ::testing::HasSubstr;

class WindowSearchTest : public app_test::CWindowRunTest
{
};

TEST_F(WindowSearchTest, F5MarksEveryRowAsksToShowTheResultAndLeavesNoPageFile)
{
    listing_site::CSiteOptions options;
    options.statusByKey[batch_test::Cp932("欠番")] = 404;
    StartSite(options);
    Open({"ドラマ", "", "欠番", "ニュース"});
    m_prompts.answers.push_back(MsgAnswer::No);

    Press(ID_SEARCH_START);
    EXPECT_TRUE(Enabled(ID_SEARCH_STOP));
    EXPECT_FALSE(Enabled(ID_SEARCH_START));
    ASSERT_TRUE(PumpUntil([&] { return !m_prompts.messages.empty(); }));

    EXPECT_EQ(Marks(), (std::vector<std::string>{"OK", "", "NG", "OK"}));
    EXPECT_THAT(View().topLevelItem(2)->toolTip(1).toStdString(), HasSubstr("HTTP 404"));
    const auto& message = m_prompts.messages.front();
    EXPECT_EQ(message.text,
              QStringLiteral("検索を完了しました。\n検索結果をブラウザで表示しますか？"));
    EXPECT_EQ(message.icon, MsgIcon::Information);
    EXPECT_EQ(message.buttons, MsgButtons::YesNo);
    EXPECT_TRUE(std::filesystem::exists(m_app.GetDocument().GetResultPath()));
    EXPECT_THAT(m_app.GetDocument().GetResultPath(), HasSubstr("/Cache/watch_東京_"));
    EXPECT_TRUE(TvFiles().empty());
    EXPECT_EQ(Frame().GetStatusBar()->MessagePane()->text(), QStringLiteral("レディ"));
    EXPECT_TRUE(Enabled(ID_SEARCH_START));
    EXPECT_FALSE(Enabled(ID_SEARCH_STOP));
    EXPECT_TRUE(Enabled(ID_BROWSE)) << "No keeps the result for F6";
}

TEST_F(WindowSearchTest, ClosingDuringARunEndsItAtOnceSilentlyAndDeletesThePageFiles)
{
    listing_site::CSiteOptions options;
    options.stall = true; // every page stops half way and hangs
    StartSite(options);
    Open({"ドラマ", "ニュース", "映画"});

    Press(ID_SEARCH_START);
    ASSERT_TRUE(PumpUntil([&] { return m_site->GetRequests().size() >= 3; }));
    EXPECT_FALSE(TvFiles().empty());

    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(Frame().close());
    EXPECT_LT(timer.elapsed(), 3000) << "the stalled transfers must be aborted, not waited for";
    EXPECT_FALSE(Enabled(ID_SEARCH_STOP));
    EXPECT_TRUE(m_prompts.messages.empty());
    EXPECT_TRUE(TvFiles().empty());
    EXPECT_EQ(Marks(), (std::vector<std::string>{"", "", ""}));
}

// A result page that cannot be shown is told, with its path, whether the browser cannot start
// or the program fails after it started (which the window does not wait for).
enum class BrowseBy { Yes, F6 };

struct CBrowseFailure
{
    const char* name;
    const char* browser; // a file of the working folder; empty: the desktop's handler
    const char* script;  // its text; none: it is missing
    BrowseBy by;
    const char* why; // the second line starts so
};

void PrintTo(const CBrowseFailure& c, std::ostream* os)
{
    *os << c.name;
}

class BrowseFailure : public app_test::CWindowRunTest,
                      public ::testing::WithParamInterface<CBrowseFailure>
{
};

TEST_P(BrowseFailure, IsToldWithThePathOfThePage)
{
    const CBrowseFailure& c = GetParam();
    const std::string bin = m_work.File("bin");
    std::filesystem::create_directory(bin);
    const std::string program = *c.browser ? m_work.File(c.browser) : bin + "/xdg-open";
    if (c.script) {
        testing_support::WriteFileBytes(program, c.script);
        std::filesystem::permissions(program, std::filesystem::perms::owner_exec,
                                     std::filesystem::perm_options::add);
    }
    ASSERT_TRUE(m_config.WriteString(config::Key::Browser, *c.browser ? program : ""));
    testing_support::CScopedEnv path{{"PATH", bin.c_str()}}; // where xdg-open is looked for
    StartSite();
    Open({"ドラマ"});
    m_prompts.answers.push_back(c.by == BrowseBy::Yes ? MsgAnswer::Yes : MsgAnswer::No);

    Press(ID_SEARCH_START);
    ASSERT_TRUE(PumpUntil([&] { return !m_prompts.messages.empty(); }));
    if (c.by == BrowseBy::F6)
        Press(ID_BROWSE);
    ASSERT_TRUE(PumpUntil([&] { return m_prompts.messages.size() == 2; }));

    const auto& told = m_prompts.messages.back();
    const std::string text = told.text.toStdString();
    const std::string name = *c.browser ? program : "xdg-open";
    EXPECT_TRUE(
        text.starts_with("検索結果をブラウザで表示できませんでした。\n「" + name + "」" + c.why))
        << text;
    EXPECT_TRUE(text.ends_with("\n" + m_app.GetDocument().GetResultPath())) << text;
    EXPECT_EQ(told.icon, MsgIcon::Exclamation);
    EXPECT_TRUE(Enabled(ID_SEARCH_START));
}

INSTANTIATE_TEST_SUITE_P(
    Table, BrowseFailure,
    ::testing::Values(
        CBrowseFailure{"BrowserFails", "browser", "#!/bin/sh\nexit 1\n", BrowseBy::Yes,
                       "が失敗しました (終了コード 1)"},
        CBrowseFailure{"BrowserMissing", "browser", nullptr, BrowseBy::F6, "を起動できません ("},
        CBrowseFailure{"DesktopHandlerFails", "", "#!/bin/sh\nexit 4\n", BrowseBy::Yes,
                       "が失敗しました (終了コード 4)"},
        CBrowseFailure{"NoDesktopHandler", "", nullptr, BrowseBy::F6, "を起動できません ("}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
