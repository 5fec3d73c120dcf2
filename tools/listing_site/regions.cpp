#include "tools/listing_site/regions.h"

#include <array>

namespace listing_site {

namespace {

constexpr std::array<std::string_view, kRegionCount> kRegions = {
    "北海道", "青森", "秋田", "岩手", "山形", "宮城",   "福島", "東京", "神奈川", "埼玉",
    "千葉",   "群馬", "栃木", "茨城", "新潟", "長野",   "山梨", "静岡", "愛知",   "岐阜",
    "三重",   "富山", "石川", "福井", "大阪", "京都",   "兵庫", "奈良", "和歌山", "滋賀",
    "岡山",   "広島", "鳥取", "島根", "山口", "香川",   "徳島", "愛媛", "高知",   "福岡",
    "佐賀",   "長崎", "熊本", "大分", "宮崎", "鹿児島", "沖縄",
};

// Local commercial stations are named after their area; "%s" stands for the area's name.
constexpr std::array<std::string_view, 5> kLocalPatterns = {
    "%sテレビ", "%s放送", "テレビ%s", "%s朝日", "%s中央テレビ",
};

std::string Expand(std::string_view pattern, std::string_view region)
{
    std::string out(pattern);
    out.replace(out.find("%s"), 2, region);
    return out;
}

} // namespace

std::string_view RegionName(int area)
{
    if (area < 1 || area > kRegionCount)
        return {};
    return kRegions[static_cast<std::size_t>(area - 1)];
}

std::vector<std::string> ChannelsOf(int area)
{
    const std::string_view region = RegionName(area);
    if (region.empty())
        return {};
    std::vector<std::string> channels = {"ＮＨＫ総合", "ＮＨＫ Ｅテレ"};
    const std::size_t locals = 3 + static_cast<std::size_t>(area % 3);
    for (std::size_t i = 0; i < locals; ++i)
        channels.push_back(Expand(kLocalPatterns[i], region));
    return channels;
}

} // namespace listing_site
