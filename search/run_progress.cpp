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

} // namespace search
