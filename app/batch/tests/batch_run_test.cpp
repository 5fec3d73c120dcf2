// Batch mode in-process with the real workers and medora against the sample site: its output
// lines, its result page and its exit statuses.
#include "batch_fixture.h"

#include "app/batch/batch_run.h"
#include "platform/cp932.h"

#include <gmock/gmock.h>

#include <csignal>

#include <filesystem>

namespace batch_test {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;

std::string ReadWithoutCr(const std::string& path)
{
    std::string bytes = testing_support::ReadFileBytes(path);
    std::erase(bytes, '\r');
    return bytes;
}

TEST_F(CBatchTest, PrintsEachJobThenTheResultOfTheTemplateWithTheListingsInOrder)
{
    listing_site::CSiteOptions options;
    options.statusByKey[Cp932("欠番")] = 404;
    StartSite(options);
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 2));
    const std::string file =
        WriteKeywords({"ドラマ", "", "ニュース", "欠番", "月面基地", "ドラマ"});

    const COutcome run = Run({"--search", file, "--area", "東京", "--plugin", "medora"});

    ASSERT_EQ(run.code, batch::kExitPartial) << run.err;
    ASSERT_EQ(run.lines.size(), 6u) << run.out;
    // NG as its job ends; the OK lines once the page is written, in keyword order, with the
    // listings medora counted and "-" for new: there was no earlier page to compare with.
    EXPECT_THAT(
        std::vector<std::string>(run.lines.begin(), run.lines.end() - 1),
        ::testing::ElementsAre("NG\t欠番\tHTTP 404", MatchesRegex("OK\tドラマ\t[1-9][0-9]*\t-"),
                               MatchesRegex("OK\tニュース\t[1-9][0-9]*\t-"), "OK\t月面基地\t0\t-",
                               MatchesRegex("OK\tドラマ\t[1-9][0-9]*\t-")));
    EXPECT_THAT(run.lines.back(),
                ::testing::MatchesRegex(".*/Cache/watch_東京_[0-9]{8}_medora\\.html"));
    EXPECT_TRUE(run.lines.back().starts_with(ProgramFolder()));
    EXPECT_THAT(run.err, HasSubstr("5/5 件終了（失敗 1 件）"));
    EXPECT_THAT(TvFiles(), IsEmpty());
    EXPECT_THAT(testing_support::ReadFileBytes(m_work.File("error.log")), HasSubstr(" 404 "));

    // The template with the listings poured in at its insertion line, in keyword order.
    const std::string page = ReadWithoutCr(run.lines.back());
    const std::string templ = testing_support::ReadFileBytes(MEDORA_TEMPLATE_PATH);
    const std::string marker = "<!-- template replace -->\n";
    const std::size_t at = templ.find(marker);
    ASSERT_NE(at, std::string::npos);
    const std::string before = templ.substr(0, at), after = templ.substr(at + marker.size());
    ASSERT_TRUE(page.starts_with(before) && page.ends_with(after)) << page;
    const std::string listings = platform::Cp932ToUtf8(
        page.substr(before.size(), page.size() - before.size() - after.size()));
    std::size_t last = 0;
    for (const char* heading : {"「ドラマ」の検索結果", "「ニュース」の検索結果",
                                "「月面基地」の検索結果 0件", "「ドラマ」の検索結果"}) {
        const std::size_t found = listings.find(heading, last);
        ASSERT_NE(found, std::string::npos) << heading << " after " << last << "\n" << listings;
        last = found + 1;
    }
    EXPECT_THAT(listings, Not(HasSubstr("欠番")));
}

// The region comes from --area, else from Vistrel.ini; the plug-in likewise.
TEST_F(CBatchTest, DefaultsComeFromTheConfiguration)
{
    StartSite();
    ASSERT_TRUE(m_config.WriteInt(config::Key::Area, 27));
    const std::string file = WriteKeywords({"ニュース"});
    COutcome run = Run({"--search", file});
    ASSERT_EQ(run.code, batch::kExitMerged) << run.err;
    EXPECT_THAT(run.lines.back(), HasSubstr("/watch_兵庫_"));
    run = Run({"--search=" + file, "--area=1"});
    ASSERT_EQ(run.code, batch::kExitMerged) << run.err;
    EXPECT_THAT(run.lines.back(), HasSubstr("/watch_北海道_"));
}

// Bad arguments or input: exit 2, a message that says what is wrong, nothing asked of the site.
struct CBadInputCase
{
    const char* name;
    std::vector<std::string> args; // "@" is a keyword file with one keyword, "@\n" one whose
                                   // name holds a line break
    std::optional<config::Key> key;
    std::string value;
    std::string message;
};

class BadInput : public CBatchTest, public ::testing::WithParamInterface<CBadInputCase>
{
};

TEST_P(BadInput, ExitsTwoWithAMessage)
{
    StartSite();
    if (GetParam().key == config::Key::Area) {
        ASSERT_TRUE(m_config.WriteInt(config::Key::Area, std::stoi(GetParam().value)));
    } else if (GetParam().key) {
        ASSERT_TRUE(m_config.WriteString(*GetParam().key, GetParam().value));
    }
    WriteKeywords({"", ""}, "blank.txt");
    std::vector<std::string> args;
    for (const std::string& arg : GetParam().args)
        args.push_back(arg == "@"     ? WriteKeywords({"ドラマ"})
                       : arg == "@\n" ? WriteKeywords({"ドラマ"}, "a\nb.txt")
                                      : arg);
    const COutcome run = Run(args);
    EXPECT_EQ(run.code, batch::kExitBadInput);
    EXPECT_THAT(run.err, HasSubstr(GetParam().message));
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(m_site->GetRequests().empty());
}

using config::Key;
INSTANTIATE_TEST_SUITE_P(
    Table, BadInput,
    ::testing::Values(
        CBadInputCase{"MissingValue", {"--search"}, {}, "", "missing value for --search"},
        CBadInputCase{
            "UnknownArea", {"--search", "@", "--area", "Tokyo"}, {}, "", "unknown area: Tokyo"},
        CBadInputCase{"AreaZero", {"--search", "@", "--area", "0"}, {}, "", "unknown area: 0"},
        CBadInputCase{"AreaZeroNewOnly",
                      {"--new-only", "--search", "@", "--area", "0"},
                      {},
                      "",
                      "unknown area: 0"},
        CBadInputCase{"NewOnlyWithAValue",
                      {"--search", "@", "--new-only=1"},
                      {},
                      "",
                      "--new-only takes no value"},
        CBadInputCase{"NoAreaInIni", {"--search", "@"}, Key::Area, "0", "no region chosen"},
        CBadInputCase{
            "UnknownPlugin", {"--search", "@", "--plugin", "x"}, {}, "", "no plug-in \"x\""},
        CBadInputCase{"NoPluginInIni", {"--search", "@"}, Key::DLLName, "", "available: medora"},
        CBadInputCase{"MissingFile", {"--search", "none.txt"}, {}, "", "none.txt was not found."},
        CBadInputCase{"NoKeyword", {"--search", "blank.txt"}, {}, "", "blank.txt holds no keyword"},
        CBadInputCase{"UnknownOption", {"--bogus"}, {}, "", "unknown option: --bogus\n"},
        CBadInputCase{"LineBreakInTheResultPath", {"--search", "@\n"}, {}, "", "/a\\nb_東京_"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CBatchTest, HelpVersionAndTheWindowsCommandLine)
{
    COutcome run = Run({"--help"});
    EXPECT_EQ(run.code, 0);
    EXPECT_THAT(run.out, HasSubstr("Vistrel --search FILE [--area N|NAME] [--plugin TITLE] "
                                   "[--new-only] [--notify]\n"));
    EXPECT_THAT(run.out, HasSubstr("\n  --new-only       print only"));
    EXPECT_THAT(run.out, HasSubstr("\n  --notify         when some listings are new"));
    for (const int status :
         {batch::kExitMerged, batch::kExitFailed, batch::kExitBadInput, batch::kExitPartial,
          128 + SIGHUP, batch::kExitInterrupted, 128 + SIGQUIT, 128 + SIGPIPE, 128 + SIGTERM}) {
        EXPECT_THAT(run.out, ::testing::ContainsRegex("\n  " + std::to_string(status) + " +[a-z]"))
            << "every exit status is listed";
    }
    run = Run({"--version"});
    EXPECT_EQ(run.code, 0);
    EXPECT_THAT(run.out, ::testing::StartsWith("Vistrel "));
    EXPECT_FALSE(Run({}).code.has_value());
    EXPECT_FALSE(Run({"list.txt"}).code.has_value());
}

} // namespace
} // namespace batch_test
