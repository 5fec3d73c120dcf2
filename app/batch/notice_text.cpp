#include "app/batch/notice_text.h"

#include <algorithm>

namespace batch {
namespace {

// A keyword is shown on one line, and as text even where the server reads markup.
std::string ShownKeyword(const std::string& keyword, bool markup)
{
    std::string shown;
    for (const char c : keyword) {
        if (c == '\n' || c == '\r' || c == '\t')
            shown += ' ';
        else if (markup && c == '&')
            shown += "&amp;";
        else if (markup && c == '<')
            shown += "&lt;";
        else if (markup && c == '>')
            shown += "&gt;";
        else
            shown += c;
    }
    return shown;
}

} // namespace

bool HasNews(const std::vector<KeywordNews>& news)
{
    return std::any_of(news.begin(), news.end(), [](const KeywordNews& k) { return k.second > 0; });
}

NoticeText ComposeNotice(const std::vector<KeywordNews>& news, bool markup)
{
    long long total = 0; // many keywords near INT_MAX must not overflow the sum
    std::size_t keywords = 0;
    std::string body;
    for (const auto& [keyword, count] : news) {
        if (count <= 0)
            continue;
        total += count;
        if (++keywords > kNoticeKeywordLines)
            continue;
        if (!body.empty())
            body += '\n';
        body += ShownKeyword(keyword, markup) + " " + std::to_string(count) + " 件";
    }
    if (keywords > kNoticeKeywordLines)
        body += "\nほか " + std::to_string(keywords - kNoticeKeywordLines) + " キーワード";
    return {"Vistrel: 新着 " + std::to_string(total) + " 件", body};
}

} // namespace batch
