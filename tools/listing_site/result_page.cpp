#include "tools/listing_site/result_page.h"

#include "platform/cp932.h"
#include "tools/listing_site/regions.h"

#include <array>
#include <cstdio>

namespace listing_site {

namespace {

constexpr std::string_view kSiteName = "サンプル番組表";

std::string JoinLines(const std::vector<std::string>& lines, bool crlf)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += crlf ? "\r\n" : "\n";
    }
    return text;
}

// The keyword as the page shows it: decoded, with undecodable bytes shown as "?".
std::string DisplayKeyword(std::string_view key)
{
    std::string text = platform::Cp932ToUtf8(key);
    const std::string_view replacement = "\xEF\xBF\xBD"; // U+FFFD
    for (std::size_t at = text.find(replacement); at != std::string::npos;
         at = text.find(replacement, at + 1))
        text.replace(at, replacement.size(), "?");
    return text;
}

std::vector<std::string> PageHead(std::string_view title)
{
    return {
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">",
        "<html lang=\"ja\">",
        "<head>",
        "<meta charset=\"Shift_JIS\">",
        "<title>" + std::string(title) + " - " + std::string(kSiteName) + "</title>",
        "</head>",
        "<body>",
        "<div class=\"header\"><h1>" + std::string(kSiteName) + "</h1></div>",
    };
}

const std::vector<std::string> kPageFoot = {
    "<div class=\"footer\"><p>番組内容は変更になる場合があります。</p>",
    "<p>" + std::string(kSiteName) + "（試験用の架空の番組表です）</p></div>",
    "</body>",
    "</html>",
};

} // namespace

std::string EscapeHtml(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

std::string FormatDay(std::chrono::sys_days day)
{
    static constexpr std::array<std::string_view, 7> kWeekdays = {"日", "月", "火", "水",
                                                                  "木", "金", "土"};
    const std::chrono::year_month_day date(day);
    const std::chrono::weekday weekday(day);
    char text[16];
    std::snprintf(text, sizeof text, "%02u/%02u(", static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()));
    return std::string(text) + std::string(kWeekdays[weekday.c_encoding()]) + ")";
}

std::string FormatTimes(int start, int end)
{
    char from[16];
    char to[16];
    std::snprintf(from, sizeof from, "%02d:%02d", start / 60, start % 60);
    std::snprintf(to, sizeof to, "%02d:%02d", end / 60, end % 60);
    return std::string(from) + "～" + to;
}

std::optional<std::string> RenderResultPage(const CSearchQuery& query,
                                            const std::vector<CProgramme>& hits, bool crlf)
{
    const std::string region(RegionName(query.area));
    const std::string keyword = EscapeHtml(DisplayKeyword(query.key));
    std::vector<std::string> lines = PageHead("「" + keyword + "」の検索結果");
    lines.push_back("<p class=\"area\">地域：" + region + "</p>");
    lines.push_back("<ul class=\"category\">");
    for (const char* category : {"すべて", "ドラマ", "映画", "アニメ", "スポーツ", "ニュース"})
        lines.push_back(std::string("<li>") + category + "</li>");
    lines.push_back("</ul>");
    lines.emplace_back(kListingStartLine);
    lines.push_back("<p class=\"hits\">「" + keyword + "」の検索結果 " +
                    std::to_string(hits.size()) + "件</p>");
    if (hits.empty()) {
        lines.push_back("<p class=\"none\">該当する番組はありません。</p>");
    } else {
        lines.push_back("<table class=\"program-list\">");
        lines.push_back("<tr><th>日付</th><th>時間</th><th>放送局</th><th>番組</th></tr>");
        for (const CProgramme& hit : hits) {
            lines.push_back("<tr><td class=\"date\">" + FormatDay(hit.day) +
                            "</td><td class=\"time\">" + FormatTimes(hit.start, hit.end) +
                            "</td><td class=\"channel\">" + EscapeHtml(hit.channelName) +
                            "</td><td class=\"program\"><span class=\"title\">" +
                            EscapeHtml(hit.title) + "</span><br><span class=\"desc\">" +
                            EscapeHtml(hit.description) + "</span></td></tr>");
        }
        lines.push_back("</table>");
    }
    lines.emplace_back(kListingEndLine);
    lines.insert(lines.end(), kPageFoot.begin(), kPageFoot.end());
    platform::Result<std::string> page = platform::Utf8ToCp932(JoinLines(lines, crlf));
    if (!page)
        return std::nullopt;
    return std::move(page.value);
}

void PadResultPage(std::string& page, std::size_t bytes, bool crlf)
{
    const std::string eol = crlf ? "\r\n" : "\n";
    const std::string endLine = eol + std::string(kListingEndLine) + eol;
    const std::size_t end = page.find(endLine);
    if (page.size() >= bytes || end == std::string::npos)
        return;
    std::size_t gap = bytes - page.size();
    const std::string open = "<!-- ";
    const std::string close = " -->" + eol;
    constexpr std::size_t kLineFill = 100;
    std::string filler;
    filler.reserve(gap);
    while (gap >= open.size() + close.size() + 1) {
        // The last line takes all that is left, unless that would leave too little for one.
        std::size_t fill = gap - open.size() - close.size();
        if (fill > 2 * kLineFill)
            fill = kLineFill;
        filler += open;
        filler.append(fill, 'x');
        filler += close;
        gap -= open.size() + fill + close.size();
    }
    page.insert(end + endLine.size(), filler);
    page.append(gap, ' ');
}

std::string RenderMessagePage(std::string_view heading, std::string_view message, bool crlf)
{
    std::vector<std::string> lines = PageHead(EscapeHtml(heading));
    lines.push_back("<p class=\"error\">" + EscapeHtml(message) + "</p>");
    lines.insert(lines.end(), kPageFoot.begin(), kPageFoot.end());
    // Headings and messages are ASCII or come from this site's own texts.
    return platform::Utf8ToCp932(JoinLines(lines, crlf)).value;
}

} // namespace listing_site
