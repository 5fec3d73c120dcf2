#pragma once

#include "tools/listing_site/guide.h"
#include "tools/listing_site/search_query.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace listing_site {

// The lines between which a result page holds its hit listing, each alone on its line (UTF-8
// here; the page carries them in code page 932).
inline constexpr std::string_view kListingStartLine = "<!-- ↑カテゴリ変更 ー-->";
inline constexpr std::string_view kListingEndLine = "<HR NOSHADE>";

// "&", "<", ">" and '"' as character references.
std::string EscapeHtml(std::string_view text);

// "12/08(火)" and "21:00～21:54" (hours from 24 on for after midnight).
std::string FormatDay(std::chrono::sys_days day);
std::string FormatTimes(int start, int end);

// The page for a search in code page 932, lines ended by LF or, with crlf, by CR LF: page
// chrome, the start line, the hit count with the keyword, the hits as a table (or a line
// saying there are none), the end line, more chrome. Empty only if a text could not be
// written in code page 932.
std::optional<std::string> RenderResultPage(const CSearchQuery& query,
                                            const std::vector<CProgramme>& hits, bool crlf);

// Pads page (as RenderResultPage made it, with the same line ends) to exactly bytes, with
// comment lines right after the listing's end line, so the listing and what a plug-in cuts
// out of the page stay as they were. A page already that large, or without the end line, is
// left alone. Too small a gap for a comment line becomes spaces after the last line.
void PadResultPage(std::string& page, std::size_t bytes, bool crlf);

// A small page for refusals and injected statuses, in code page 932.
std::string RenderMessagePage(std::string_view heading, std::string_view message, bool crlf);

} // namespace listing_site
