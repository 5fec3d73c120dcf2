// Whole searches through the window: F5 with the real workers, the built medora and the
// sample site, as a user would run them.
#include "app/command_ids.h"
#include "app/status_bar.h"
#include "app/tests/window_fixture.h"

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

} // namespace
