#include "config/regions.h"

#include <array>

namespace config {
namespace {

constexpr std::array<std::string_view, kRegionCount> kRegions{
    "",     "北海道", "青森", "秋田", "岩手", "山形", "宮城",   "福島", "東京", "神奈川",
    "埼玉", "千葉",   "群馬", "栃木", "茨城", "新潟", "長野",   "山梨", "静岡", "愛知",
    "岐阜", "三重",   "富山", "石川", "福井", "大阪", "京都",   "兵庫", "奈良", "和歌山",
    "滋賀", "岡山",   "広島", "鳥取", "島根", "山口", "香川",   "徳島", "愛媛", "高知",
    "福岡", "佐賀",   "長崎", "熊本", "大分", "宮崎", "鹿児島", "沖縄",
};

} // namespace

std::string_view RegionName(int index)
{
    if (index < 0 || index >= kRegionCount)
        return {};
    return kRegions[static_cast<std::size_t>(index)];
}

std::optional<int> FindRegion(std::string_view name)
{
    if (name.empty())
        return std::nullopt;
    for (int i = 1; i < kRegionCount; ++i) {
        if (kRegions[static_cast<std::size_t>(i)] == name)
            return i;
    }
    return std::nullopt;
}

} // namespace config
