#pragma once

#include <string>
#include <utility>
#include <vector>

namespace batch {

// One keyword's news: the keyword (UTF-8) and how many of its listings are new.
using KeywordNews = std::pair<std::string, int>;

// At most this many keywords get a line of their own; the rest are counted in one more line.
inline constexpr std::size_t kNoticeKeywordLines = 5;

// What a desktop notification of news says.
struct NoticeText
{
    std::string summary; // "Vistrel: 新着 5 件"
    std::string body;    // a line per keyword with its count, in the given order
};

// The notice for news; keywords whose count is not positive are left out. markup: the
// notification server reads the body as markup, so the keywords' own "<" and "&" are escaped.
NoticeText ComposeNotice(const std::vector<KeywordNews>& news, bool markup);

// Whether news holds anything to tell.
bool HasNews(const std::vector<KeywordNews>& news);

} // namespace batch
