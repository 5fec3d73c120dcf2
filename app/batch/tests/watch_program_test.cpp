// The watch as a user keeps it: the built program searches the sample site's guide for the
// sample keywords, then again on a later day's guide (or the same day's), and tells a desktop
// on the test's own bus what is new.
#include "watch_lines.h"
#include "watch_program.h"

#include "platform/cp932.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>
#include <sys/wait.h>

namespace batch_test {
namespace {

using namespace std::chrono;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

constexpr sys_days kFirstDay = 2026y / December / 8;
const std::string kCannotNotify = "デスクトップに通知できません: ";

// How the program finds the session bus.
enum class Bus {
    Address,           // DBUS_SESSION_BUS_ADDRESS names it
    RuntimeFolderOnly, // as under cron: no address, the C locale, the bus in XDG_RUNTIME_DIR
    Dead,              // the address's socket is dead and the runtime folder empty
};

// What the notification's user does.
enum class Click {
    No,             // the server offers no actions
    Browser,        // clicks, and the configured browser shows the page
    MissingBrowser, // clicks, but the configured browser is not there
};

struct WatchCase
{
    const char* name;
    int laterDays; // the second run's day after the first's
    bool newOnly;  // the second run's --new-only
    Bus bus;       // for both runs
    Click click;
    const char* failing; // a keyword the site fails on the second day, or none
};

void PrintTo(const WatchCase& c, std::ostream* os)
{
    *os << c.name;
}

class ProgramWatch : public WatchProgramTest, public ::testing::WithParamInterface<WatchCase>
{
protected:
    Env CaseEnv() const
    {
        switch (GetParam().bus) {
        case Bus::Address:
            return BusEnv();
        case Bus::RuntimeFolderOnly:
            return {{"DBUS_SESSION_BUS_ADDRESS", std::nullopt},
                    {"XDG_RUNTIME_DIR", RuntimeFolder()},
                    {"LC_ALL", "C"},
                    {"LANG", std::nullopt}};
        case Bus::Dead:
            break;
        }
        return DeadBusEnv();
    }

    void StartCaseServer()
    {
        if (GetParam().click != Click::No)
            StartServer({"--actions", "--then=click"});
        else
            StartServer({});
    }

    static listing_site::CSiteOptions Site(sys_days day, const char* failing = nullptr)
    {
        listing_site::CSiteOptions options;
        options.today = day;
        if (failing)
            options.statusByKey[platform::Utf8ToCp932(failing).value] = 500;
        return options;
    }

    // The result page: the program folder's cache, named after the list, region and plug-in.
    void ExpectResultPath(const std::string& line) const
    {
        EXPECT_THAT(line, StartsWith(InProgram("Cache/watchlist_東京_")));
        EXPECT_TRUE(line.ends_with("_medora.html")) << line;
        EXPECT_TRUE(std::filesystem::is_regular_file(line)) << line;
    }

    // The first run has nothing to compare with: no news, so nothing to tell. Its page.
    std::string FirstRun()
    {
        StartCaseServer();
        const Outcome first = Run(Site(kFirstDay), {"--notify"}, CaseEnv());
        EXPECT_EQ(ExitCode(first.status), 0) << first.err;
        EXPECT_THAT(ServerCalls(), IsEmpty());
        EXPECT_THAT(first.err, Not(HasSubstr(kCannotNotify)));
        const std::vector<std::string> keywords = Keywords();
        if (first.lines.size() != keywords.size() + 1) {
            ADD_FAILURE() << first.err;
            return {};
        }
        const std::vector<Counted> counted =
            CountedLines({first.lines.begin(), first.lines.end() - 1});
        for (std::size_t i = 0; i < counted.size(); ++i) {
            EXPECT_EQ(counted[i].keyword, keywords[i]);
            EXPECT_GE(counted[i].listings, 0);
            EXPECT_EQ(counted[i].fresh, -1) << first.lines[i];
        }
        ExpectResultPath(first.lines.back());
        return first.lines.back();
    }

    // Every keyword's line on the second day, with nothing failing and nothing left out: the
    // second run's own lines, else those of the same run again, compared with the first page.
    std::vector<std::string> EveryKeyword(const Outcome& second, const std::string& firstPage,
                                          const std::string& firstBytes)
    {
        Outcome all = second;
        if (GetParam().newOnly || GetParam().failing) {
            RestoreFirstPage(firstPage, firstBytes);
            all = Run(Site(kFirstDay + days(GetParam().laterDays)), {}, CaseEnv());
            EXPECT_EQ(ExitCode(all.status), 0) << all.err;
        }
        const std::vector<std::string> keywords = Keywords();
        if (all.lines.size() != keywords.size() + 1) {
            ADD_FAILURE() << all.err;
            return {};
        }
        const std::vector<Counted> counted = CountedLines({all.lines.begin(), all.lines.end() - 1});
        for (std::size_t i = 0; i < counted.size(); ++i) {
            EXPECT_EQ(counted[i].keyword, keywords[i]);
            EXPECT_GE(counted[i].fresh, 0) << all.lines[i];
        }
        EXPECT_EQ(TotalNew(counted) > 0, GetParam().laterDays > 0)
            << "a later day's guide has news, the same day's none";
        ExpectPageAgrees(all.lines.back(), counted);
        all.lines.pop_back();
        return all.lines;
    }

    std::string MissingBrowser() const { return m_dir.File("no browser"); }

    // A keyword that failed is said at once (with --new-only on standard error) and its line
    // taken out of printed; the site's refusal leaves its trace in the working folder's log.
    void ExpectFailureSaid(const Outcome& second, std::vector<std::string>& printed) const
    {
        const char* failing = GetParam().failing;
        const std::string log = WorkFolder() + "/error.log";
        EXPECT_EQ(std::filesystem::exists(log), failing != nullptr);
        if (!failing)
            return;
        EXPECT_THAT(testing_support::ReadFileBytes(log), HasSubstr(" 500 "));
        const std::string failed = std::string("NG\t") + failing + "\t";
        if (GetParam().newOnly) {
            EXPECT_THAT(second.err, HasSubstr(failed));
        } else {
            ASSERT_FALSE(printed.empty());
            EXPECT_THAT(printed[0], StartsWith(failed));
            printed.erase(printed.begin());
        }
    }

    // The notification for the printed counts, where there is news and a bus; a click opens the
    // page in the configured browser, its path the one argument, and the run has ended while
    // the browser stays open.
    void ExpectDesktopTold(const std::string& err, const std::vector<NotifyBusTest::Fields>& calls,
                           const std::vector<Counted>& counted, const std::string& page)
    {
        const WatchCase& c = GetParam();
        const bool news = TotalNew(counted) > 0;
        const bool told = news && c.bus != Bus::Dead;
        if (told) {
            ASSERT_EQ(calls.size(), 2u);
            EXPECT_EQ(calls[0], NotifyBusTest::Fields{"GetCapabilities"});
            EXPECT_EQ(calls[1], NotifyCall(counted, c.click != Click::No));
        } else {
            EXPECT_THAT(calls, IsEmpty());
        }
        EXPECT_EQ(err.find(kCannotNotify) != std::string::npos, news && c.bus == Bus::Dead) << err;
        const std::string cannotShow = "検索結果をブラウザで表示できませんでした。\n「" +
                                       MissingBrowser() + "」を起動できません (";
        EXPECT_EQ(err.find(cannotShow) != std::string::npos,
                  told && c.click == Click::MissingBrowser)
            << err;
        if (told && c.click == Click::Browser) {
            LetBrowserGo();
            EXPECT_THAT(testing_support::ReadFileBytes(m_browserRecord),
                        StartsWith("1|" + page + "|"));
        } else {
            EXPECT_FALSE(std::filesystem::exists(m_browserRecord));
        }
    }

    // The lines the second run should print before the page: every keyword's, but the failing
    // one's and, with --new-only, those without news.
    std::vector<std::string> Expected(const std::vector<std::string>& everyKeyword) const
    {
        std::vector<std::string> expected;
        for (const std::string& line : everyKeyword) {
            const std::vector<std::string> fields = SplitFields(line);
            if (GetParam().failing && fields[1] == GetParam().failing)
                continue;
            if (!GetParam().newOnly || fields[3] != "0")
                expected.push_back(line);
        }
        return expected;
    }
};

TEST_P(ProgramWatch, TellsWhatIsNewSinceTheLastRun)
{
    const WatchCase& c = GetParam();
    HoldBrowser();
    if (c.click == Click::MissingBrowser)
        WriteSettings(MissingBrowser());
    const std::string firstPage = FirstRun();
    ASSERT_FALSE(HasFailure());
    const std::string firstBytes = testing_support::ReadFileBytes(firstPage);

    std::vector<std::string> options{"--notify"};
    if (c.newOnly)
        options.emplace_back("--new-only");
    if (c.bus != Bus::Dead)
        StartCaseServer();
    const Outcome second = Run(Site(kFirstDay + days(c.laterDays), c.failing), options, CaseEnv());
    const std::vector<NotifyBusTest::Fields> calls = ServerCalls();
    // A keyword that failed makes the run partial whatever the desktop is told.
    EXPECT_EQ(ExitCode(second.status), c.failing ? 3 : 0) << second.err;
    std::vector<std::string> printed = second.lines;
    ExpectFailureSaid(second, printed);
    std::string page; // none printed when --new-only finds no news
    if (!printed.empty() && !printed.back().starts_with("OK\t")) {
        page = printed.back();
        printed.pop_back();
        ExpectResultPath(page);
    }
    const std::vector<Counted> counted = CountedLines(printed);
    if (!page.empty())
        ExpectPageAgrees(page, counted);

    EXPECT_THAT(printed, ElementsAreArray(Expected(EveryKeyword(second, firstPage, firstBytes))));
    EXPECT_EQ(page.empty(), c.newOnly && TotalNew(counted) == 0);
    ExpectDesktopTold(second.err, calls, counted, page);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ProgramWatch,
    ::testing::Values(
        WatchCase{"NextDayNotifies", 1, false, Bus::Address, Click::No, nullptr},
        WatchCase{"NextDayNewOnly", 1, true, Bus::Address, Click::No, nullptr},
        WatchCase{"NextDayClickOpensThePage", 1, false, Bus::Address, Click::Browser, nullptr},
        WatchCase{"NextDayClickWithoutItsBrowser", 1, false, Bus::Address, Click::MissingBrowser,
                  nullptr},
        WatchCase{"NextDayWithoutABus", 1, false, Bus::Dead, Click::No, nullptr},
        WatchCase{"NextDayFromCron", 1, true, Bus::RuntimeFolderOnly, Click::Browser, nullptr},
        WatchCase{"NextDayOneKeywordFails", 1, false, Bus::Address, Click::No, "温泉"},
        WatchCase{"NextDayNewOnlyOneKeywordFails", 1, true, Bus::Address, Click::Browser, "温泉"},
        WatchCase{"SameDayTellsNothing", 0, false, Bus::Address, Click::Browser, nullptr},
        WatchCase{"SameDayNewOnlyPrintsNothing", 0, true, Bus::Address, Click::No, nullptr},
        WatchCase{"SameDayWithoutABusSaysNothing", 0, false, Bus::Dead, Click::No, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace batch_test
