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

// Every channel of every area runs from 05:00 to 29:00 without gaps, in text code page 932
// can hold (the pages are sent in it).
TEST(Guide, FillsEveryChannelOfEveryAreaWithCodePage932Text)
{
    for (int area = 1; area <= kRegionCount; ++area) {
        const std::vector<std::string> channels = ChannelsOf(area);
        ASSERT_TRUE(channels.size() >= 5 && channels.size() <= 7);
        std::map<int, int> nextStart; // channel -> where its next programme must start
        for (const CProgramme& p : GuideDay(1, area, kDay)) {
            const auto [it, fresh] = nextStart.try_emplace(p.channel, kDayStartMinute);
            ASSERT_EQ(p.start, it->second) << "area " << area << " channel " << p.channel;
            ASSERT_GT(p.end, p.start);
            ASSERT_EQ(p.channelName, channels[static_cast<std::size_t>(p.channel)]);
            ASSERT_TRUE(platform::Utf8ToCp932(p.title + p.description + p.channelName))
                << p.title << " / " << p.description;
            it->second = p.end;
        }
        ASSERT_EQ(nextStart.size(), channels.size());
        for (const auto& [channel, end] : nextStart)
            EXPECT_EQ(end, kDayEndMinute) << "area " << area << " channel " << channel;
    }
}

TEST(Guide, IsFixedBySeedAreaAndDay)
{
    auto texts = [](std::uint64_t seed, int area, sys_days day) {
        std::vector<std::string> out;
        for (const CProgramme& p : GuideDay(seed, area, day))
            out.push_back(p.title + "|" + p.description + "|" + std::to_string(p.start));
        return out;
    };
    EXPECT_EQ(texts(5, 8, kDay), texts(5, 8, kDay));
    EXPECT_NE(texts(5, 8, kDay), texts(6, 8, kDay));
    EXPECT_NE(texts(5, 8, kDay), texts(5, 9, kDay));
    EXPECT_NE(texts(5, 8, kDay), texts(5, 8, kDay + days(1)));
}

CSearchQuery Query(const std::string& keyCp932, int startHour = 5, int endHour = 29)
{
    return CSearchQuery{8, kDay, 14, startHour, endHour, keyCp932};
}

TEST(FindProgrammes, ListsMatchesWithinTheHoursInOrder)
{
    const std::string drama = platform::Utf8ToCp932("ドラマ").value;
    const std::vector<CProgramme> all = FindProgrammes(1, Query(drama));
    const std::vector<CProgramme> evening = FindProgrammes(1, Query(drama, 18, 24));
    auto inEvening = [](const CProgramme& p) { return p.start >= 18 * 60 && p.start < 24 * 60; };
    ASSERT_GT(evening.size(), 0u);
    EXPECT_EQ(std::count_if(all.begin(), all.end(), inEvening),
              static_cast<std::ptrdiff_t>(evening.size()));
    for (const CProgramme& p : evening) {
        EXPECT_TRUE(inEvening(p));
        EXPECT_NE((p.title + p.description).find("ドラマ"), std::string::npos);
    }
    EXPECT_TRUE(
        std::is_sorted(all.begin(), all.end(), [](const CProgramme& a, const CProgramme& b) {
            return std::tie(a.day, a.start, a.channel) < std::tie(b.day, b.start, b.channel);
        }));
    EXPECT_TRUE(FindProgrammes(1, Query("")).empty());
    EXPECT_TRUE(FindProgrammes(1, Query("\x85\x40")).empty()) << "not code page 932";
    EXPECT_FALSE(FindProgrammes(1, Query("\xB1\xC6\xD2")).empty()) << "half-width ｱﾆﾒ";
}

// Keywords made of a title's bytes from a trail byte on occur in the page's bytes only across
// a character boundary; they must find nothing.
TEST(FindProgrammes, NeverMatchesAcrossCharacterBoundaries)
{
    std::string allText;
    std::vector<std::string> encodedTitles;
    for (int d = 0; d < 14; ++d)
        for (const CProgramme& p : GuideDay(1, 8, kDay + days(d))) {
            allText += p.title + "\n" + p.description + "\n";
            encodedTitles.push_back(platform::Utf8ToCp932(p.title).value);
        }
    int tried = 0;
    for (std::size_t t = 0; t < encodedTitles.size() && tried < 5; ++t) {
        const std::string& title = encodedTitles[t];
        for (std::size_t i = 0; i + 1 < title.size(); ++i) {
            if (!platform::IsLeadByte(static_cast<unsigned char>(title[i])))
                continue;
            const std::string key = title.substr(++i, 3); // from the trail byte on
            const std::string decoded = platform::Cp932ToUtf8(key);
            if (decoded.find("\xEF\xBF\xBD") != std::string::npos ||
                allText.find(decoded) != std::string::npos)
                continue;
            ++tried;
            EXPECT_TRUE(FindProgrammes(1, Query(key)).empty()) << title;
        }
    }
    EXPECT_GE(tried, 5) << "the guide offers too few such keywords";
}

} // namespace
} // namespace listing_site
