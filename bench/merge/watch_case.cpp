#include "watch_case.h"

#include "plugin_host/plugin_module.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace bench {

std::string WriteYesterdaysPage(const CPluginModule& medora, const std::string& folder,
                                const std::vector<std::string>& pages)
{
    const std::string path = folder + "/list_20261208_medora.html";
    if (!medora.MergeDownloadFiles(path, pages))
        return {};
    std::ifstream in(path, std::ios::binary);
    const std::string page{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    in.close();
    // A listing line yesterday's page held otherwise: the same row text wherever it stands.
    std::string yesterdays;
    yesterdays.reserve(page.size() + page.size() / 100);
    for (std::size_t at = 0; at < page.size();) {
        const std::size_t end = std::min(page.find('\n', at), page.size() - 1) + 1;
        const std::string_view line = std::string_view(page).substr(at, end - at);
        yesterdays += line;
        if (line.starts_with("<tr><td") && std::hash<std::string_view>{}(line) % 28 == 0)
            yesterdays.insert(yesterdays.size() - line.size() + 4, "<td>yesterday</td>");
        at = end;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(yesterdays.data(), static_cast<std::streamsize>(yesterdays.size()));
    return out.flush() ? path : std::string();
}

std::string TodaysPage(const std::string& folder)
{
    return folder + "/list_20261209_medora.html";
}

MarkTally TallyMarks(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::string page{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const auto count = [&page](std::string_view text) {
        std::size_t found = 0;
        for (std::size_t at = page.find(text); at != std::string::npos;
             at = page.find(text, at + 1))
            ++found;
        return found;
    };
    // The sample site writes each listing's row as "<tr><td ...".
    MarkTally tally;
    tally.marked = count("<tr class=\"new-listing\"><td");
    tally.rows = tally.marked + count("<tr><td");
    return tally;
}

} // namespace bench

namespace bench {

int MergeOnce(const std::string& module, const std::string& output, const std::string& folder,
              bool fresh)
{
    CPluginModule medora;
    if (!medora.Load(std::filesystem::absolute(module).string()))
        return 1;
    std::vector<std::string> pages;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.path().filename().native().starts_with("~TV"))
            pages.push_back(entry.path().native());
    std::sort(pages.begin(), pages.end());
    if (error || pages.empty())
        return 1;
    if (fresh)
        std::filesystem::remove(output, error);
    return medora.MergeDownloadFiles(output, pages) ? 0 : 1;
}

} // namespace bench
