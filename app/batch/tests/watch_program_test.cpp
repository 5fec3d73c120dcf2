// The watch as a user keeps it: the built program searches the sample site's guide for the
// sample keywords, then again on a later day's guide (or the same day's), and tells a desktop
// on the test's own bus what is new.
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
constexpr std::size_t kNamedKeywords = 5; // the notification's body names no more
const std::string kCannotNotify = "デスクトップに通知できません: ";

// How the program finds the session bus.
enum class Bus {
    Address,           // DBUS_SESSION_BUS_ADDRESS names it
    RuntimeFolderOnly, // as under cron: no address, the C locale, the bus in XDG_RUNTIME_DIR
    Dead,              // the address's socket is dead and the runtime folder empty
};

struct WatchCase
{
    const char* name;
    int laterDays;       // the second run's day after the first's
    bool newOnly;        // the second run's --new-only
    Bus bus;             // for both runs
    bool clicks;         // the server offers actions and its user clicks the notification
    const char* failing; // a keyword the site fails on the second day, or none
};

void PrintTo(const WatchCase& c, std::ostream* os)
{
    *os << c.name;
}

// One "OK" line: fresh is -1 for "-" (nothing to compare with).
struct Counted
{
    std::string keyword;
    int listings = -1;
    int fresh = -1;
};

int ExitCode(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Number(const std::string& field)
{
    const bool digits = !field.empty() && std::all_of(field.begin(), field.end(), ::isdigit);
    EXPECT_TRUE(digits) << field;
    return digits ? std::stoi(field) : -1;
}

std::vector<std::string> SplitFields(const std::string& line)
{
    std::vector<std::string> fields{""};
    for (const char c : line) {
        if (c == '\t')
            fields.emplace_back();
        else
            fields.back().push_back(c);
    }
    return fields;
}

// lines must be a keyword's "OK" line each.
std::vector<Counted> CountedLines(const std::vector<std::string>& lines)
{
    std::vector<Counted> counted;
    for (const std::string& line : lines) {
        const std::vector<std::string> fields = SplitFields(line);
        EXPECT_EQ(fields.size(), 4u) << line;
        EXPECT_EQ(fields[0], "OK") << line;
        if (fields.size() == 4)
            counted.push_back(
                {fields[1], Number(fields[2]), fields[3] == "-" ? -1 : Number(fields[3])});
    }
    return counted;
}

int TotalNew(const std::vector<Counted>& counted)
{
    int total = 0;
    for (const Counted& c : counted)
        total += std::max(c.fresh, 0);
    return total;
}

// The notification the user should see for these lines.
NotifyBusTest::Fields NotifyCall(const std::vector<Counted>& counted, bool actions)
{
    std::vector<std::string> named;
    for (const Counted& c : counted) {
        if (c.fresh > 0)
            named.push_back(c.keyword + " " + std::to_string(c.fresh) + " 件");
    }
    std::string body;
    for (std::size_t i = 0; i < std::min(named.size(), kNamedKeywords); ++i)
        body += (i ? "\n" : "") + named[i];
    if (named.size() > kNamedKeywords)
        body += "\nほか " + std::to_string(named.size() - kNamedKeywords) + " キーワード";
    return {"Notify",
            "Vistrel",
            "0",
            "vistrel",
            "Vistrel: 新着 " + std::to_string(TotalNew(counted)) + " 件",
            body,
            actions ? "default|結果ページを開く" : "",
            "desktop-entry=vistrel",
            "-1"};
}

// The page marks as many listings as the lines say are new, and the blocks with news say how
// many in the lines' order.
void ExpectPageAgrees(const std::string& path, const std::vector<Counted>& counted)
{
    const std::string page = platform::Cp932ToUtf8(testing_support::ReadFileBytes(path));
    std::size_t marked = 0;
    for (std::size_t at = 0;
         (at = page.find("<tr class=\"new-listing\">", at)) != std::string::npos; ++at)
        ++marked;
    EXPECT_EQ(marked, static_cast<std::size_t>(TotalNew(counted))) << path;
    std::vector<std::string> said, expected;
    const std::string opening = "<p class=\"new-count\">";
    for (std::size_t at = 0; (at = page.find(opening, at)) != std::string::npos; ++at)
        said.push_back(
            page.substr(at + opening.size(), page.find('<', at + 1) - at - opening.size()));
    for (const Counted& c : counted) {
        if (c.fresh > 0)
            expected.push_back("新着 " + std::to_string(c.fresh) + " 件");
    }
    EXPECT_EQ(said, expected) << path;
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
        if (GetParam().clicks)
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
    // A keyword that failed is said at once (with --new-only on standard error); it makes the
    // run partial whatever the desktop is told.
    EXPECT_EQ(ExitCode(second.status), c.failing ? 3 : 0) << second.err;
    std::vector<std::string> printed = second.lines;
    if (c.failing) {
        const std::string failed = std::string("NG\t") + c.failing + "\t";
        const std::string& said = c.newOnly ? second.err : (printed.empty() ? "" : printed[0]);
        EXPECT_THAT(said, HasSubstr(failed));
        if (!c.newOnly && !printed.empty())
            printed.erase(printed.begin());
    }
    // The site's refusal leaves its trace in the working folder's log, and only that does.
    const std::string log = WorkFolder() + "/error.log";
    EXPECT_EQ(std::filesystem::exists(log), c.failing != nullptr);
    if (c.failing) {
        EXPECT_THAT(testing_support::ReadFileBytes(log), HasSubstr(" 500 "));
    }
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
    const bool news = TotalNew(counted) > 0;
    EXPECT_EQ(page.empty(), c.newOnly && !news);

    const bool told = news && c.bus != Bus::Dead;
    if (told) {
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0], NotifyBusTest::Fields{"GetCapabilities"});
        EXPECT_EQ(calls[1], NotifyCall(counted, c.clicks));
    } else {
        EXPECT_THAT(calls, IsEmpty());
    }
    EXPECT_EQ(second.err.find(kCannotNotify) != std::string::npos, news && c.bus == Bus::Dead)
        << second.err;
    // A click opens the page in the configured browser, its path the one argument; the run has
    // ended while the browser stays open.
    if (told && c.clicks) {
        LetBrowserGo();
        EXPECT_THAT(testing_support::ReadFileBytes(m_browserRecord), StartsWith("1|" + page + "|"));
    } else {
        EXPECT_FALSE(std::filesystem::exists(m_browserRecord));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ProgramWatch,
    ::testing::Values(
        WatchCase{"NextDayNotifies", 1, false, Bus::Address, false, nullptr},
        WatchCase{"NextDayNewOnly", 1, true, Bus::Address, false, nullptr},
        WatchCase{"NextDayClickOpensThePage", 1, false, Bus::Address, true, nullptr},
        WatchCase{"NextDayWithoutABus", 1, false, Bus::Dead, false, nullptr},
        WatchCase{"NextDayFromCron", 1, true, Bus::RuntimeFolderOnly, true, nullptr},
        WatchCase{"NextDayOneKeywordFails", 1, false, Bus::Address, false, "温泉"},
        WatchCase{"NextDayNewOnlyOneKeywordFails", 1, true, Bus::Address, true, "温泉"},
        WatchCase{"SameDayTellsNothing", 0, false, Bus::Address, true, nullptr},
        WatchCase{"SameDayNewOnlyPrintsNothing", 0, true, Bus::Address, false, nullptr},
        WatchCase{"SameDayWithoutABusSaysNothing", 0, false, Bus::Dead, false, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace batch_test
