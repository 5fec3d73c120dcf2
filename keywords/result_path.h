#pragma once

#include <ctime>
#include <string>

// Naming of a search run's result page: "<cache folder><base>_<region>_<date>_<plug-in>.html".
namespace keywords {

// The keyword file's name without folder and without what follows its last "."; empty for a
// document that has never been saved (empty path).
std::string ResultBaseName(const std::string& documentPath);

// The date part of the name, "%Y%m%d" (e.g. "20261208").
std::string ResultDateText(const std::tm& date);

// Joins the parts as they are: nothing is replaced, escaped or made unique. The cache folder
// already ends in "/".
std::string FormatResultPath(const std::string& cacheFolder, const std::string& baseName,
                             const std::string& regionName, const std::string& dateText,
                             const std::string& pluginTitle);

} // namespace keywords
