// Batch mode in-process: its output lines and exit statuses against the sample site.
#include "batch_fixture.h"

#include "app/batch/batch_run.h"

#include <gmock/gmock.h>

#include <csignal>
#include <ctime>
#include <filesystem>
#include <thread>

namespace batch_test {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using namespace std::chrono_literals;

std::string Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d", &local);
    return text;
}

TEST_F(CBatchTest, PrintsEachJobThenTheResultPath)
{
    listing_site::CSiteOptions options;
    options.statusByKey[search_test::Cp932("欠番")] = 404;
    StartSite(options);
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 2));
    const std::string file = WriteKeywords({"ドラマ", "", "ニュース", "欠番", "月面基地"});

    const CBatchOutcome run = Run({"--search", file, "--area", "東京", "--plugin", "medora"});

    ASSERT_EQ(run.code, batch::kExitMerged) << run.err;
    ASSERT_EQ(run.lines.size(), 5u) << run.out;
    const std::vector<std::string> jobs(run.lines.begin(), run.lines.end() - 1);
    EXPECT_THAT(jobs, UnorderedElementsAre("OK\tドラマ", "OK\tニュース", "NG\t欠番\tHTTP 404",
                                           "OK\t月面基地"));
    const std::string result = ProgramFolder() + "Cache/watch_東京_" + Today() + "_medora.html";
    EXPECT_EQ(run.lines.back(), result);
    EXPECT_TRUE(std::filesystem::is_regular_file(result));
    EXPECT_THAT(run.err, HasSubstr("4/4 件終了（失敗 1 件）"));
    EXPECT_THAT(run.err, Not(HasSubstr("検索に失敗しました。")));
    EXPECT_THAT(TvFiles(), IsEmpty());
}

// The region and the plug-in come from the arguments, else from Vistrel.ini.
struct CChoiceCase
{
    const char* name;
    std::vector<std::string> args;
    std::optional<int> iniArea;
    std::string areaName;
};

class Choice : public CBatchTest, public ::testing::WithParamInterface<CChoiceCase>
{
};

TEST_P(Choice, NamesTheResultAfterTheRegion)
{
    StartSite();
    if (GetParam().iniArea) {
        ASSERT_TRUE(m_config.WriteInt(config::Key::Area, *GetParam().iniArea));
    }
    std::vector<std::string> args = {"--search", WriteKeywords({"ニュース"})};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    const CBatchOutcome run = Run(args);
    ASSERT_EQ(run.code, batch::kExitMerged) << run.err;
    EXPECT_EQ(run.lines.back(), ProgramFolder() + "Cache/watch_" + GetParam().areaName + "_" +
                                    Today() + "_medora.html");
}

INSTANTIATE_TEST_SUITE_P(
    Table, Choice,
    ::testing::Values(CChoiceCase{"Defaults", {}, {}, "東京"},
                      CChoiceCase{"IniArea", {}, 27, "兵庫"},
                      CChoiceCase{"AreaNumberBeatsIni", {"--area", "1"}, 27, "北海道"},
                      CChoiceCase{"AreaName", {"--area=沖縄", "--plugin=medora"}, {}, "沖縄"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CBatchTest, FailedMergeExitsOne)
{
    StartSite();
    ASSERT_TRUE(m_config.WriteString(config::Key::CacheDirectory, m_work.File("absent")));
    const CBatchOutcome run = Run({"--search", WriteKeywords({"ドラマ"})});
    EXPECT_EQ(run.code, batch::kExitFailed);
    EXPECT_THAT(run.lines, ::testing::ElementsAre("OK\tドラマ"));
    EXPECT_THAT(run.err, HasSubstr("検索に失敗しました。"));
    EXPECT_THAT(TvFiles(), IsEmpty());
}

// Bad arguments or input: exit 2, a message that says what is wrong, nothing searched.
struct CBadInputCase
{
    const char* name;
    std::vector<std::string> args; // "@" stands for a keyword file with one keyword
    std::vector<std::pair<config::Key, std::string>> ini;
    std::string message;
};

class BadInput : public CBatchTest, public ::testing::WithParamInterface<CBadInputCase>
{
};

TEST_P(BadInput, ExitsTwoWithAMessage)
{
    StartSite();
    for (const auto& [key, value] : GetParam().ini) {
        if (config::Info(key).type == config::ValueType::Int) {
            ASSERT_TRUE(m_config.WriteInt(key, std::stoi(value)));
        } else {
            ASSERT_TRUE(m_config.WriteString(key, value));
        }
    }
    WriteKeywords({"", "", ""}, "blank.txt");
    std::vector<std::string> args;
    for (const std::string& arg : GetParam().args)
        args.push_back(arg == "@"        ? WriteKeywords({"ドラマ"})
                       : arg == "@blank" ? m_work.File("blank.txt")
                       : arg == "@none"  ? m_work.File("none.txt")
                                         : arg);
    const CBatchOutcome run = Run(args);
    EXPECT_EQ(run.code, batch::kExitBadInput);
    EXPECT_THAT(run.err, HasSubstr(GetParam().message));
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(m_site->GetRequests().empty());
}

using config::Key;
INSTANTIATE_TEST_SUITE_P(
    Table, BadInput,
    ::testing::Values(
        CBadInputCase{"MissingValue", {"--search"}, {}, "missing value for --search"},
        CBadInputCase{"StrayArgument", {"--search", "@", "x"}, {}, "unexpected argument: x"},
        CBadInputCase{
            "UnknownArea", {"--search", "@", "--area", "Tokyo"}, {}, "unknown area: Tokyo"},
        CBadInputCase{"AreaZero", {"--search", "@", "--area", "0"}, {}, "unknown area: 0"},
        CBadInputCase{"NoAreaInIni", {"--search", "@"}, {{Key::Area, "0"}}, "no region chosen"},
        CBadInputCase{
            "UnknownPlugin", {"--search", "@", "--plugin", "nosuch"}, {}, "no plug-in \"nosuch\""},
        CBadInputCase{
            "NoPluginInIni", {"--search", "@"}, {{Key::DLLName, ""}}, "available: medora"},
        CBadInputCase{"MissingFile", {"--search", "@none"}, {}, "none.txt was not found."},
        CBadInputCase{"NoKeyword", {"--search", "@blank"}, {}, "blank.txt holds no keyword"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CBatchTest, HelpVersionAndTheWindowsCommandLine)
{
    CBatchOutcome run = Run({"--help"});
    EXPECT_EQ(run.code, 0);
    EXPECT_THAT(run.out, HasSubstr("Vistrel --search FILE [--area N|NAME] [--plugin TITLE]"));
    run = Run({"--version"});
    EXPECT_EQ(run.code, 0);
    EXPECT_THAT(run.out, ::testing::StartsWith("Vistrel "));
    EXPECT_FALSE(Run({}).code.has_value());
    EXPECT_FALSE(Run({"list.txt"}).code.has_value());
}

TEST_F(CBatchTest, InterruptStopsTheRunAndDeletesItsFiles)
{
    listing_site::CSiteOptions options;
    options.stall = true;
    StartSite(options);
    const std::string file = WriteKeywords({"ドラマ", "ニュース", "映画"});
    std::chrono::steady_clock::time_point interruptedAt;
    std::thread interrupter([this, &interruptedAt] {
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (m_site->GetRequests().size() < 3 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(10ms);
        interruptedAt = std::chrono::steady_clock::now();
        kill(getpid(), SIGINT);
    });
    const CBatchOutcome run = Run({"--search", file});
    const auto returnedAt = std::chrono::steady_clock::now();
    interrupter.join();
    EXPECT_EQ(run.code, batch::kExitInterrupted);
    // The hanging transfers are aborted, not waited for.
    EXPECT_LT(returnedAt - interruptedAt, 3s);
    EXPECT_THAT(run.err, HasSubstr("interrupted"));
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(TvFiles(), IsEmpty());
}

} // namespace
} // namespace batch_test
