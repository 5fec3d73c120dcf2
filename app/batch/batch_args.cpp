#include "app/batch/batch_args.h"

#include "config/regions.h"

#include <charconv>

namespace batch {
namespace {

bool IsBatchOption(const std::string& arg)
{
    for (const char* option : {"--search", "--area", "--plugin", "--help", "-h", "--version"}) {
        const std::string name(option);
        if (arg == name || arg.starts_with(name + "="))
            return true;
    }
    return false;
}

} // namespace

CParseResult ParseBatchArgs(const std::vector<std::string>& args)
{
    CParseResult result;
    CBatchArgs parsed;
    bool anyBatchOption = false;
    for (const std::string& arg : args)
        anyBatchOption = anyBatchOption || IsBatchOption(arg);
    if (!anyBatchOption) {
        result.args = parsed; // the window's command line
        return result;
    }
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            parsed.action = CBatchArgs::Action::Help;
            result.args = parsed;
            return result;
        }
    }
    for (const std::string& arg : args) {
        if (arg == "--version") {
            parsed.action = CBatchArgs::Action::Version;
            result.args = parsed;
            return result;
        }
    }

    std::optional<std::string> search;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const std::size_t eq = name.find('=');
            name.starts_with("--") && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        std::optional<std::string>* slot = name == "--search"   ? &search
                                           : name == "--area"   ? &parsed.area
                                           : name == "--plugin" ? &parsed.plugin
                                                                : nullptr;
        if (!slot) {
            result.error = "unexpected argument: " + args[i];
            return result;
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                result.error = "missing value for " + name;
                return result;
            }
            value = args[++i];
        }
        if (slot->has_value()) {
            result.error = name + " given twice";
            return result;
        }
        if (value->empty()) {
            result.error = "empty value for " + name;
            return result;
        }
        *slot = std::move(*value);
    }
    if (!search) {
        result.error = "--area and --plugin need --search FILE";
        return result;
    }
    parsed.action = CBatchArgs::Action::Search;
    parsed.keywordFile = *search;
    result.args = parsed;
    return result;
}

std::optional<int> ResolveArea(const std::string& value)
{
    int index = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), index);
    if (ec == std::errc() && end == value.data() + value.size())
        return index >= 1 && index < config::kRegionCount ? std::optional<int>(index)
                                                          : std::nullopt;
    return config::FindRegion(value);
}

const char* BatchHelpText()
{
    return R"(Usage: Vistrel [FILE]
       Vistrel --search FILE [--area N|NAME] [--plugin TITLE]
       Vistrel --help | --version

Without --search, Vistrel opens its window, with the keyword file FILE when one is given.

  --search FILE    search the listings for every non-empty line of the keyword file FILE
                   (code page 932), without a window, with the Vistrel.ini and the plug-ins
                   beside the program. Prints a line for each keyword as its page arrives:
                   "OK", a tab and the keyword, or "NG", a tab, the keyword, a tab and why;
                   then the path of the result page. Progress goes to standard error.
  --area N|NAME    the region: 1 to 47, or the name of a prefecture (for example 東京);
                   default: the region last chosen in the window ("Settings\Query" "Area")
  --plugin TITLE   the plug-in: its library's file name without folder and suffix (for
                   example medora); default: the one last chosen in the window
                   ("Settings\PlugIn" "DLLName")
  --help           show this text
  --version        show the version

Exit status: 0 the result page was written; 1 the search failed; 2 bad arguments or input.
)";
}

} // namespace batch
