// Faults injected into whole searches from the window: the marks and their tool tips, the one
// message at the end, Esc on a stalled server, and nothing left behind.
#include "app/command_ids.h"
#include "app/tests/window_fixture.h"
#include "platform/program_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

namespace fs = std::filesystem;
using app::ID_SEARCH_START;
using app::ID_SEARCH_STOP;
using ::testing::HasSubstr;

struct CWindowFault
{
    const char* name;
    std::function<void(listing_site::CSiteOptions&, config::Config&)> setup;
    bool bStopWhenAllAsked; // Esc once the site has every request
    std::vector<std::string> marks;
    std::vector<std::string> tips;          // each row's tool tip starts with this
    QString message;                        // the one message at the end starts so; empty: none
    std::optional<std::string> logText;     // in error.log; none: no error.log
    std::optional<std::string> server = {}; // medora's server instead of the site's address
    bool downloads = true;                  // false: no request may reach the site
};

void PrintTo(const CWindowFault& row, std::ostream* os)
{
    *os << row.name;
}

class WindowFault : public app_test::CWindowRunTest,
                    public ::testing::WithParamInterface<CWindowFault>
{
};

const QString kFailed = QStringLiteral("検索に失敗しました。");
const QString kNoPage = kFailed + QStringLiteral("\nダウンロードできたページがありません (");
const QString kDone = QStringLiteral("検索を完了しました。\n検索結果をブラウザで表示しますか？");

TEST_P(WindowFault, MarksTheRowsSaysOnceWhatHappenedAndLeavesNothing)
{
    const CWindowFault& row = GetParam();
    listing_site::CSiteOptions options;
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 3));
    row.setup(options, m_config);
    StartSite(options);
    if (row.server)
        PointMedoraAt(*row.server);
    Open({"ドラマ", "故障", "ニュース"});
    const std::string keywordBytes = testing_support::ReadFileBytes(m_work.File("watch.txt"));
    if (row.message == kDone)
        m_prompts.answers.push_back(app::MsgAnswer::No);

    Press(ID_SEARCH_START);
    if (row.bStopWhenAllAsked) {
        ASSERT_TRUE(PumpUntil([&] { return m_site->GetRequests().size() >= 3; }));
        QElapsedTimer timer;
        timer.start();
        Press(ID_SEARCH_STOP);
        EXPECT_LT(timer.elapsed(), 3000) << "the stalled transfers must be aborted";
        PumpUntil([] { return false; }, 300); // any late report must change nothing
    } else {
        ASSERT_TRUE(PumpUntil([&] { return !m_prompts.messages.empty(); }));
    }

    EXPECT_TRUE(Enabled(ID_SEARCH_START));
    EXPECT_FALSE(Enabled(ID_SEARCH_STOP));
    EXPECT_EQ(Marks(), row.marks);
    for (std::size_t i = 0; i < row.tips.size(); ++i) {
        const std::string tip = View().topLevelItem(static_cast<int>(i))->toolTip(1).toStdString();
        EXPECT_TRUE(tip.starts_with(row.tips[i])) << i << ": " << tip;
    }
    if (row.message.isEmpty()) {
        EXPECT_TRUE(m_prompts.messages.empty());
    } else {
        ASSERT_EQ(m_prompts.messages.size(), 1u);
        EXPECT_TRUE(m_prompts.messages.front().text.startsWith(row.message))
            << m_prompts.messages.front().text.toStdString();
    }
    if (!row.downloads) {
        EXPECT_TRUE(m_site->GetRequests().empty());
    }
    EXPECT_TRUE(TvFiles().empty());
    EXPECT_EQ(testing_support::ReadFileBytes(m_work.File("watch.txt")), keywordBytes);
    const std::string log = m_work.File("error.log");
    if (row.logText)
        EXPECT_THAT(testing_support::ReadFileBytes(log), HasSubstr(*row.logText));
    else
        EXPECT_FALSE(fs::exists(log)) << testing_support::ReadFileBytes(log);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowFault,
    ::testing::Values(
        CWindowFault{"StalledServerStoppedWithEsc",
                     [](listing_site::CSiteOptions& site, config::Config&) { site.stall = true; },
                     true,
                     {"", "", ""},
                     {"", "", ""},
                     {},
                     {}},
        CWindowFault{
            "ConnectionResetMidBody",
            [](listing_site::CSiteOptions& site, config::Config&) { site.resetAfter = 300; },
            false,
            {"NG", "NG", "NG"},
            {"通信エラー (", "通信エラー (", "通信エラー ("},
            kNoPage + QStringLiteral("通信エラー ("),
            "transfer closed"},
        // The only worker goes with the first reset; the other keywords are never tried.
        CWindowFault{"ResetRetiresTheOnlyWorker",
                     [](listing_site::CSiteOptions& site, config::Config& config) {
                         site.resetAfter = 300;
                         ASSERT_TRUE(config.WriteInt(config::Key::ConnectNum, 1));
                     },
                     false,
                     {"NG", "NG", "NG"},
                     {"通信エラー (", "未実行 (接続できるダウンロードスレッドがありません)",
                      "未実行 (接続できるダウンロードスレッドがありません)"},
                     kNoPage + QStringLiteral("通信エラー ("),
                     "transfer closed"},
        CWindowFault{"ServerErrorForOneKeyword",
                     [](listing_site::CSiteOptions& site, config::Config&) {
                         site.statusByKey[batch_test::Cp932("故障")] = 500;
                     },
                     false,
                     {"OK", "NG", "OK"},
                     {"", "HTTP 500", ""},
                     kDone,
                     " 500 "},
        CWindowFault{
            "RedirectLoop",
            [](listing_site::CSiteOptions& site, config::Config&) { site.redirectLoop = true; },
            false,
            {"NG", "NG", "NG"},
            {"通信エラー (", "通信エラー (", "通信エラー ("},
            kNoPage + QStringLiteral("通信エラー ("),
            "redirect"},
        CWindowFault{"ServerNameWithABlank",
                     [](listing_site::CSiteOptions&, config::Config&) {},
                     false,
                     {"NG", "NG", "NG"},
                     {"未実行 (接続を準備できません (Bad hostname))",
                      "未実行 (接続を準備できません (Bad hostname))",
                      "未実行 (接続を準備できません (Bad hostname))"},
                     kNoPage + QStringLiteral("接続を準備できません (Bad hostname))"),
                     "Bad hostname",
                     "bad host",
                     false},
        CWindowFault{"CacheFolderIsAFile",
                     [](listing_site::CSiteOptions&, config::Config& config) {
                         const std::string file = config.GetPath();
                         ASSERT_TRUE(config.WriteString(config::Key::CacheDirectory, file));
                     },
                     false,
                     {"NG", "NG", "NG"},
                     {"未実行 (/", "未実行 (/", "未実行 (/"},
                     kFailed + QStringLiteral("\n/"),
                     {},
                     {},
                     false},
        CWindowFault{"MissingTemplate",
                     [](listing_site::CSiteOptions&, config::Config&) {
                         fs::remove(platform::ProgramFolder() + "Plugin/medora/template.html");
                     },
                     false,
                     {"OK", "OK", "OK"},
                     {"", "", ""},
                     kFailed +
                         QStringLiteral("\nプラグイン「medora」が結果ページを作れませんでした"),
                     {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
