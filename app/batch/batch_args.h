#pragma once

#include <optional>
#include <string>
#include <vector>

// The command line of batch mode:
//   Vistrel --search FILE [--area N|NAME] [--plugin TITLE]
//   Vistrel --help | --version
// Anything else (no argument, or a file to open) belongs to the window.
namespace batch {

struct CBatchArgs
{
    enum class Action { Window, Help, Version, Search };
    Action action = Action::Window;
    std::string keywordFile;           // for Search
    std::optional<std::string> area;   // as given: a number or a prefecture's name
    std::optional<std::string> plugin; // a library's file title
};

struct CParseResult
{
    std::optional<CBatchArgs> args; // empty when the command line is wrong
    std::string error;              // why it is wrong
};

// args without the program name.
CParseResult ParseBatchArgs(const std::vector<std::string>& args);

// The region index of an --area value: 1 to 47 as a number, or the UTF-8 name of a prefecture
// of the region list; none for anything else.
std::optional<int> ResolveArea(const std::string& value);

// What --help prints.
const char* BatchHelpText();

} // namespace batch
