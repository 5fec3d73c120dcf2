#include "keywords/result_path.h"

#include "keywords/path_parts.h"

#include <array>

namespace keywords {

std::string ResultBaseName(const std::string& documentPath)
{
    std::string name = FileNameOf(documentPath);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

std::string ResultDateText(const std::tm& date)
{
    // Room for years beyond four digits; strftime returns 0 only if the buffer were too small.
    std::array<char, 32> text{};
    const std::size_t length = std::strftime(text.data(), text.size(), "%Y%m%d", &date);
    return std::string(text.data(), length);
}

std::string FormatResultPath(const std::string& cacheFolder, const std::string& baseName,
                             const std::string& regionName, const std::string& dateText,
                             const std::string& pluginTitle)
{
    return cacheFolder + baseName + "_" + regionName + "_" + dateText + "_" + pluginTitle + ".html";
}

} // namespace keywords
