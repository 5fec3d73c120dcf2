#include "tools/listing_site/guide.h"
#include "tools/listing_site/programme_search.h"
#include "tools/listing_site/regions.h"

#include "platform/cp932.h"

#include <algorithm>
#include <map>

#include <gtest/gtest.h>

namespace listing_site {
namespace {

using namespace std::chrono;

const sys_days kDay = sys_days(2026y / December / 8);

TEST(Guide, FillsEveryChannelOfEveryAreaFromFiveToTwentyNine)
{
    for (int area = 1; area <= kRegionCount; ++area) {
        const std::vector<std::string> channels = ChannelsOf(area);
        ASSERT_GE(channels.size(), 5u);
        ASSERT_LE(channels.size(), 7u);
        std::map<int, int> nextStart; // channel -> where its next programme must start
        for (const CProgramme& p : GuideDay(1, area, kDay)) {
            const auto [it, fresh] = nextStart.try_emplace(p.channel, kDayStartMinute);
            ASSERT_EQ(p.start, it->second) << "area " << area << " channel " << p.channel;
            ASSERT_GT(p.end, p.start);
            ASSERT_EQ(p.channelName, channels[static_cast<std::size_t>(p.channel)]);
            ASSERT_FALSE(p.title.empty());
            it->second = p.end;
        }
        ASSERT_EQ(nextStart.size(), channels.size());
        for (const auto& [channel, end] : nextStart)
            EXPECT_EQ(end, kDayEndMinute) << "area " << area << " channel " << channel;
    }
    EXPECT_TRUE(ChannelsOf(0).empty());
    EXPECT_TRUE(ChannelsOf(48).empty());
}

TEST(Guide, IsFixedBySeedAreaAndDay)
{
    auto titles = [](std::uint64_t seed, int area, sys_days day) {
        std::vector<std::string> out;
        for (const CProgramme& p : GuideDay(seed, area, day))
            out.push_back(p.title + "|" + p.description + "|" + std::to_string(p.start));
        return out;
    };
    EXPECT_EQ(titles(5, 8, kDay), titles(5, 8, kDay));
    EXPECT_NE(titles(5, 8, kDay), titles(6, 8, kDay));
    EXPECT_NE(titles(5, 8, kDay), titles(5, 9, kDay));
    EXPECT_NE(titles(5, 8, kDay), titles(5, 8, kDay + days(1)));
}

TEST(Guide, HasOnlyTextThatCodePage932CanHold)
{
    for (int area = 1; area <= kRegionCount; ++area)
        for (int d = 0; d < 3; ++d)
            for (const CProgramme& p : GuideDay(3, area, kDay + days(d)))
                ASSERT_TRUE(platform::Utf8ToCp932(p.title + p.description + p.channelName).text)
                    << p.title << " / " << p.description;
}

CSearchQuery Query(const std::string& keyCp932, int startHour = 5, int endHour = 29)
{
    CSearchQuery query;
    query.area = 8;
    query.firstDay = kDay;
    query.days = 14;
    query.startHour = startHour;
    query.endHour = endHour;
    query.key = keyCp932;
    return query;
}

TEST(FindProgrammes, ListsMatchesWithinTheHoursInOrder)
{
    const std::string drama = *platform::Utf8ToCp932("ドラマ").text;
    const std::vector<CProgramme> all = FindProgrammes(1, Query(drama));
    const std::vector<CProgramme> evening = FindProgrammes(1, Query(drama, 18, 24));
    ASSERT_GT(evening.size(), 0u);
    EXPECT_LT(evening.size(), all.size());
    for (const CProgramme& p : evening) {
        EXPECT_GE(p.start, 18 * 60);
        EXPECT_LT(p.start, 24 * 60);
        EXPECT_TRUE(p.title.find("ドラマ") != std::string::npos ||
                    p.description.find("ドラマ") != std::string::npos);
    }
    EXPECT_TRUE(
        std::is_sorted(all.begin(), all.end(), [](const CProgramme& a, const CProgramme& b) {
            return std::tie(a.day, a.start, a.channel) < std::tie(b.day, b.start, b.channel);
        }));
    EXPECT_EQ(
        std::count_if(all.begin(), all.end(),
                      [](const CProgramme& p) { return p.start >= 18 * 60 && p.start < 24 * 60; }),
        static_cast<std::ptrdiff_t>(evening.size()));
}

TEST(FindProgrammes, FindsNothingForEmptyOrUndecodableKeywords)
{
    EXPECT_TRUE(FindProgrammes(1, Query("")).empty());
    EXPECT_TRUE(FindProgrammes(1, Query("\x85\x40")).empty());
    EXPECT_FALSE(FindProgrammes(1, Query("\xB1\xC6\xD2")).empty()) << "half-width ｱﾆﾒ";
}

// A keyword whose bytes occur in a title's code page 932 form only across a character
// boundary (a trail byte, then a lead byte) must not match.
TEST(FindProgrammes, NeverMatchesAcrossCharacterBoundaries)
{
    const CSearchQuery base = Query("");
    std::string allText;
    std::vector<std::string> encodedTitles;
    for (int d = 0; d < base.days; ++d)
        for (const CProgramme& p : GuideDay(1, 8, kDay + days(d))) {
            allText += p.title + "\n" + p.description + "\n";
            encodedTitles.push_back(*platform::Utf8ToCp932(p.title).text);
        }
    int tried = 0;
    for (const std::string& title : encodedTitles) {
        for (std::size_t i = 0; i + 1 < title.size(); ++i) {
            if (!platform::IsLeadByte(static_cast<unsigned char>(title[i])))
                continue;
            ++i; // title[i] is now a trail byte: start a keyword there
            const std::string key = title.substr(i, 3);
            const std::string decoded = platform::Cp932ToUtf8(key);
            if (decoded.find("\xEF\xBF\xBD") != std::string::npos ||
                allText.find(decoded) != std::string::npos)
                continue;
            ++tried;
            EXPECT_TRUE(FindProgrammes(1, Query(key)).empty()) << title;
        }
        if (tried >= 5)
            break;
    }
    EXPECT_GE(tried, 5) << "the guide offers too few such keywords";
}

} // namespace
} // namespace listing_site
