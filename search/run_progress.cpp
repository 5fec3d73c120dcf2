#include "search/run_ports.h"

namespace search {

std::string FormatProgress(const CRunProgress& progress)
{
    std::string text = "検索中… " + std::to_string(progress.nEnded) + "/" +
                       std::to_string(progress.nTotal) + " 件終了";
    if (progress.nFailed > 0)
        text += "（失敗 " + std::to_string(progress.nFailed) + " 件）";
    return text;
}

std::string FormatListingCount(const plugin_host::ListingCount& count)
{
    std::string text = std::to_string(count.listings) + " 件";
    if (count.fresh)
        text += " (新着 " + std::to_string(*count.fresh) + " 件)";
    return text;
}

std::optional<long long> TotalFresh(const std::vector<KeywordCount>& counts)
{
    std::optional<long long> total; // wide enough for any number of pages the contract allows
    for (const KeywordCount& keyword : counts) {
        if (keyword.count.fresh)
            total = total.value_or(0) + *keyword.count.fresh;
    }
    return total;
}

} // namespace search
