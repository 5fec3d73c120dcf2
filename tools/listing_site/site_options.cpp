#include "tools/listing_site/site_options.h"

#include "platform/cp932.h"

#include <algorithm>
#include <charconv>
#include <set>

namespace listing_site {

namespace {

template <typename T>
bool ParseNumber(const std::string& text, T& value, T low, T high)
{
    T parsed{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc() || end != text.data() + text.size() || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool ParseStatus(const std::string& text, CSiteOptions& options, std::string& error)
{
    const std::size_t eq = text.rfind('=');
    int code = 0;
    // Informational codes are no final answer: a client would wait for one for ever.
    if (eq == std::string::npos || !ParseNumber(text.substr(eq + 1), code, 200, 599)) {
        error = "--status wants KEYWORD=CODE with a code from 200 to 599";
        return false;
    }
    // Keywords arrive in code page 932, the command line is UTF-8.
    platform::Result<std::string> keyword = platform::Utf8ToCp932(text.substr(0, eq));
    if (!keyword) {
        error = "--status: " + keyword.error;
        return false;
    }
    options.statusByKey[keyword.value] = code;
    return true;
}

// "YYYY-MM-DD", a day that exists.
std::optional<std::chrono::sys_days> ParseDay(const std::string& text)
{
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
        !ParseNumber(text.substr(0, 4), year, 1, 9999) ||
        !ParseNumber(text.substr(5, 2), month, 1U, 12U) ||
        !ParseNumber(text.substr(8, 2), day, 1U, 31U))
        return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year(year), std::chrono::month(month),
                                           std::chrono::day(day)};
    if (!date.ok())
        return std::nullopt;
    return std::chrono::sys_days(date);
}

// Sets the option a flag without a value stands for; false when arg is no such flag.
bool SetFlag(const std::string& arg, CSiteOptions& options)
{
    bool CSiteOptions::*const flag = arg == "--crlf"            ? &CSiteOptions::crlf
                                     : arg == "--stall"         ? &CSiteOptions::stall
                                     : arg == "--redirect-loop" ? &CSiteOptions::redirectLoop
                                     : arg == "--endless"       ? &CSiteOptions::endless
                                                                : nullptr;
    if (flag == nullptr)
        return false;
    options.*flag = true;
    return true;
}

// Sets the option arg to value; false with error set when the value does not fit.
bool SetValue(const std::string& arg, const std::string& value, CSiteOptions& options,
              std::string& error)
{
    bool ok = true;
    if (arg == "--port") {
        ok = ParseNumber(value, options.port, 0, 65535);
    } else if (arg == "--seed") {
        ok = ParseNumber<std::uint64_t>(value, options.seed, 0, UINT64_MAX);
    } else if (arg == "--latency-ms") {
        ok = ParseNumber(value, options.latencyMs, 0, 600000);
    } else if (arg == "--reset-after") {
        std::size_t bytes = 0;
        ok = ParseNumber<std::size_t>(value, bytes, 0, SIZE_MAX);
        options.resetAfter = bytes;
    } else if (arg == "--page-bytes") {
        // Up to 64 MiB: the site builds each page in memory.
        ok = ParseNumber<std::size_t>(value, options.pageBytes, 0, std::size_t{64} << 20);
    } else if (arg == "--content-encoding") {
        // It goes into a header line as it is: no control byte may end that line early.
        ok = !value.empty() &&
             std::all_of(value.begin(), value.end(), [](char c) { return c >= ' ' && c <= '~'; });
        options.contentEncoding = value;
    } else if (arg == "--status") {
        return ParseStatus(value, options, error);
    } else if (arg == "--today") {
        options.today = ParseDay(value);
        ok = options.today.has_value();
    } else {
        options.logPath = value;
    }
    if (!ok)
        error = "bad value for " + arg + ": " + value;
    return ok;
}

} // namespace

std::optional<CSiteOptions> ParseSiteOptions(const std::vector<std::string>& args,
                                             std::string& error)
{
    static const std::set<std::string> kWithValue = {
        "--port", "--seed",       "--latency-ms",       "--reset-after", "--status",
        "--log",  "--page-bytes", "--content-encoding", "--today"};
    CSiteOptions options;
    error.clear();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h")
            return std::nullopt;
        if (SetFlag(arg, options))
            continue;
        if (!kWithValue.contains(arg)) {
            error = "unknown option: " + arg;
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = "missing value for " + arg;
            return std::nullopt;
        }
        if (!SetValue(arg, args[++i], options, error))
            return std::nullopt;
    }
    return options;
}

const char* SiteHelpText()
{
    return R"(Usage: listing-site [OPTION]...
A sample television listing site for Vistrel's demo, tests and benchmarks. It listens on
127.0.0.1 only and prints the port it bound, alone on the first line of standard output.
It stops on SIGINT or SIGTERM.

GET /tv.php?mode=10&site=007&sort=d&sdate=&ldate=28&shour=05&lhour=24&template=keyword
           &category=tc&area=008&key=KEYWORD
  answers a result page in code page 932 (Shift_JIS) listing the programmes whose title or
  description contains KEYWORD (percent-decoded, "+" is a space, code page 932 bytes).
  area   001 to 047 (the prefectures, 008 is Tokyo); anything else: 400 Bad Request
  sdate  first day, YYYYMMDD; empty: today (see --today); not a date: 400 Bad Request
  ldate  number of days, 1 to 62; empty, 0 or not a number: 28
  shour, lhour  a programme matches when it starts at or after shour:00 and before
         lhour:00 of its broadcast day, which runs from 05:00 to 29:00 (hours from 24 on are
         after midnight); hours 0 to 29, otherwise 05 and 29
  mode, site, sort, template, category  accepted and ignored
  The listing lies between the line "<!-- ↑カテゴリ変更 ー-->" and the line "<HR NOSHADE>".
GET /moved/PATH  answers 301 Moved Permanently to /PATH with the same query, so
  /moved/moved/tv.php?... is two redirects.
As an HTTP proxy: requests with an absolute target (GET http://HOST/tv.php?... HTTP/1.0)
  are answered by the site itself, whatever HOST is; nothing is ever forwarded.

Options:
  --port N           port to listen on; 0 (the default) picks a free one
  --seed N           the programme guide is generated from N (default 1)
  --today YYYY-MM-DD take this day as today (for an empty sdate) instead of the local
                     clock's, so that a run can be repeated as on a later day
  --latency-ms N     wait N milliseconds before every answer
  --status KEY=CODE  answer searches for KEY (UTF-8 here) with status CODE; repeatable
  --reset-after N    send only the first N bytes of each result page, then close the
                     connection although more was announced
  --stall            send the first half of each result page, then nothing more until the
                     client gives up or the site stops
  --page-bytes N     pad every result page to N bytes (at most 64 MiB) with comment lines
                     after the listing's end line; a larger page is sent as it is
  --endless          send result pages without a length and never end them: the page,
                     then comment lines until the client gives up or the site stops (or
                     ten minutes have passed)
  --content-encoding CODING
                     label result pages "Content-Encoding: CODING" although they are sent
                     as they are and the client never asked for an encoding
  --crlf             result pages with CR LF line ends (default LF)
  --redirect-loop    answer searches with 301 to /moved/tv.php and the same query, so a
                     client that follows redirects goes round for ever
  --log FILE         append each request line and its headers to FILE (header values as
                     cpp-httplib reads them: percent escapes in them come out decoded)
  --help             show this text
)";
}

} // namespace listing_site
