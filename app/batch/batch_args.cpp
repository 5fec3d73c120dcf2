#include "app/batch/batch_args.h"

#include "config/regions.h"

#include <array>
#include <charconv>
#include <string_view>

namespace batch {
namespace {

bool IsBatchOption(const std::string& arg)
{
    for (const char* option : {"--search", "--area", "--plugin", "--new-only", "--notify", "--help",
                               "-h", "--version"}) {
        const std::string name(option);
        if (arg == name || arg.starts_with(name + "="))
            return true;
    }
    return false;
}

// How a Qt option takes its value: after a blank, after "=", or both.
enum class QtValue { None, Next, Attached, NextOrAttached };

struct QtOption
{
    std::string_view name;
    QtValue value;
};

// The options QGuiApplication and QApplication take out of the command line themselves (Qt
// 6.4's documentation of their constructors, X11 included). They must reach the window.
constexpr std::array<QtOption, 15> kQtOptions{{
    {"-platform", QtValue::Next},
    {"-platformpluginpath", QtValue::Next},
    {"-platformtheme", QtValue::Next},
    {"-plugin", QtValue::Next},
    {"-qmljsdebugger", QtValue::Attached},
    {"-qwindowgeometry", QtValue::Next},
    {"-qwindowicon", QtValue::Next},
    {"-qwindowtitle", QtValue::Next},
    {"-reverse", QtValue::None},
    {"-session", QtValue::Next},
    {"-display", QtValue::Next},
    {"-geometry", QtValue::Next},
    {"-style", QtValue::NextOrAttached},
    {"-stylesheet", QtValue::NextOrAttached},
    {"-widgetcount", QtValue::None},
}};

// The window's command line: Qt's options and at most one keyword file.
platform::Result<BatchArgs> ParseWindowArgs(const std::vector<std::string>& args)
{
    BatchArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.empty() || arg[0] != '-') {
            if (!parsed.windowFile.empty()) {
                return platform::Failure{"unexpected argument: " + arg};
            }
            parsed.windowFile = arg;
            continue;
        }
        const std::size_t eq = arg.find('=');
        const std::string_view name = std::string_view(arg).substr(0, eq);
        const QtOption* option = nullptr;
        for (const QtOption& known : kQtOptions)
            option = known.name == name ? &known : option;
        const bool attached = eq != std::string::npos;
        if (!option || (attached && option->value != QtValue::Attached &&
                        option->value != QtValue::NextOrAttached)) {
            return platform::Failure{"unknown option: " + arg};
        }
        if (!attached && option->value == QtValue::Attached) {
            return platform::Failure{"missing value for " + arg + " (give " + arg + "=VALUE)"};
        }
        if (!attached && option->value != QtValue::None && ++i >= args.size()) {
            return platform::Failure{"missing value for " + arg};
        }
    }
    return parsed;
}

// What follows a prefecture's short name in its full name.
std::string_view PrefectureSuffix(int region)
{
    constexpr int kHokkaido = 1, kTokyo = 8, kOsaka = 25, kKyoto = 26;
    switch (region) {
    case kHokkaido:
        return "";
    case kTokyo:
        return "都";
    case kOsaka:
    case kKyoto:
        return "府";
    default:
        return "県";
    }
}

} // namespace

platform::Result<BatchArgs> ParseBatchArgs(const std::vector<std::string>& args)
{
    BatchArgs parsed;
    bool anyBatchOption = false;
    for (const std::string& arg : args)
        anyBatchOption = anyBatchOption || IsBatchOption(arg);
    if (!anyBatchOption)
        return ParseWindowArgs(args);
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            parsed.action = BatchArgs::Action::Help;
            return parsed;
        }
    }
    for (const std::string& arg : args) {
        if (arg == "--version") {
            parsed.action = BatchArgs::Action::Version;
            return parsed;
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
        if (bool* flag = name == "--new-only" ? &parsed.newOnly
                         : name == "--notify" ? &parsed.notify
                                              : nullptr) {
            if (value) {
                return platform::Failure{name + " takes no value"};
            }
            if (*flag) {
                return platform::Failure{name + " given twice"};
            }
            *flag = true;
            continue;
        }
        std::optional<std::string>* slot = name == "--search"   ? &search
                                           : name == "--area"   ? &parsed.area
                                           : name == "--plugin" ? &parsed.plugin
                                                                : nullptr;
        if (!slot) {
            return platform::Failure{
                (name.starts_with("-") ? "unknown option: " : "unexpected argument: ") + args[i]};
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                return platform::Failure{"missing value for " + name};
            }
            value = args[++i];
        }
        if (slot->has_value()) {
            return platform::Failure{name + " given twice"};
        }
        if (value->empty()) {
            return platform::Failure{"empty value for " + name};
        }
        *slot = std::move(*value);
    }
    if (!search) {
        return platform::Failure{"--area, --plugin, --new-only and --notify need --search FILE"};
    }
    parsed.action = BatchArgs::Action::Search;
    parsed.keywordFile = *search;
    return parsed;
}

std::optional<int> ResolveArea(const std::string& value)
{
    int index = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), index);
    if (ec == std::errc() && end == value.data() + value.size())
        return index >= 1 && index < config::kRegionCount ? std::optional<int>(index)
                                                          : std::nullopt;
    if (const std::optional<int> region = config::FindRegion(value))
        return region;
    // A prefecture's full name: the short one with its own 都, 府 or 県 (北海道 has none).
    for (const std::string_view suffix : {"都", "府", "県"}) {
        if (!value.ends_with(suffix))
            continue;
        const std::optional<int> region =
            config::FindRegion(std::string_view(value).substr(0, value.size() - suffix.size()));
        if (region && PrefectureSuffix(*region) == suffix)
            return region;
    }
    return std::nullopt;
}

const char* BatchHelpText()
{
    return R"(Usage: Vistrel [QT-OPTION]... [FILE]
       Vistrel --search FILE [--area N|NAME] [--plugin TITLE] [--new-only] [--notify]
       Vistrel --help | --version

Without --search, Vistrel opens its window, with the keyword file FILE when one is given. The
window also takes Qt's own options, such as -platform offscreen, -style fusion, -reverse or
-qwindowtitle TITLE (see Qt's QGuiApplication and QApplication); any other option is refused.

  --search FILE    search the listings for every non-empty line of the keyword file FILE
                   (code page 932, or UTF-8), without a window, with the window's settings
                   and plug-ins (see Files below). Prints a line for every keyword as it
                   ends: "OK", a tab and the keyword, or "NG", a tab, the keyword, a tab and
                   why (a keyword never tried says "未実行" and why); then, when the result
                   page was written, its path alone on the last line. Progress goes to
                   standard error. A keyword file or plug-in whose name holds a line break
                   is refused, so that the path is always one line. When the plug-in
                   counts listings (medora does), "OK" lines come once the result page is
                   written, with two more fields: the keyword's listings on the page and
                   how many of them are new since the last result of the same search ("-"
                   when there was none to compare with), e.g. "OK\tドラマ\t42\t3".
  --area N|NAME    the region: 1 to 47 in the listing site's order, where 8 is 東京 and 13
                   is 栃木 (not the official prefecture codes, in which 13 is 東京), or the
                   name of a prefecture, short or full (東京, 東京都, 大阪府, 北海道, 神奈川県);
                   default: the region last chosen in the window ("Settings\Query" "Area")
  --plugin TITLE   the plug-in: its library's file name without folder and suffix (for
                   example medora); default: the one last chosen in the window
                   ("Settings\PlugIn" "DLLName")
  --new-only       print only the "OK" lines of keywords with new listings, and the
                   result page's path only when some keyword has them; "NG" lines go to
                   standard error. Prints nothing when nothing is new, or when the
                   plug-in does not count listings. The exit status is as without it
  --notify         when some listings are new, tell the desktop in a notification (its
                   action opens the result page; Vistrel waits up to 10 minutes for it);
                   if it cannot, say so on standard error. The exit status is as without it
  --help           show this text
  --version        show the version

Exit status:
  0    the result page was written and every keyword is OK
  1    the search failed and no result page was written (why goes to standard error)
  2    bad arguments or input (nothing was searched)
  3    the result page was written, but some keyword is NG or was never tried
  129  stopped by SIGHUP (the terminal closed)
  130  stopped by Ctrl+C (SIGINT)
  131  stopped by SIGQUIT
  141  stopped because standard output lost its reader
  143  stopped by SIGTERM
       (128 + the signal's number; a stopped search deletes its temporary files)
)";
}

} // namespace batch
