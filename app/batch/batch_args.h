#pragma once

#include "platform/result.h"

#include <optional>
#include <string>
#include <vector>

// The command line of batch mode:
//   Vistrel --search FILE [--area N|NAME] [--plugin TITLE] [--new-only] [--notify]
//   Vistrel --help | --version
// and of the window: Qt's own options and at most one keyword file to open. Anything else is
// refused here, before Qt (or a display) is needed.
namespace batch {

struct BatchArgs
{
    enum class Action { Window, Help, Version, Search };
    Action action = Action::Window;
    std::string keywordFile;           // for Search
    std::string windowFile;            // for Window: the file to open, empty for none
    std::optional<std::string> area;   // as given: a number or a prefecture's name
    std::optional<std::string> plugin; // a library's file title
    bool newOnly = false;              // print only the keywords with new listings
    bool notify = false;               // tell the desktop when listings are new
};

// args without the program name; a failure says why the command line is wrong.
platform::Result<BatchArgs> ParseBatchArgs(const std::vector<std::string>& args);

// The region index of an --area value: 1 to 47 as a number (the listing site's order, not the
// official prefecture codes), or the UTF-8 name of a prefecture, short as in the region list
// or full ("東京都"); none for anything else.
std::optional<int> ResolveArea(const std::string& value);

// What --help prints.
const char* BatchHelpText();

} // namespace batch
