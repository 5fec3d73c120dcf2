#include "merge.h"

#include "earlier_page.h"
#include "http_equiv_guard.h"
#include "log.h"
#include "platform/text_file.h"

#include <string_view>

namespace medora {
namespace {

// Marker lines with their line end; a line is a marker only when it equals one byte for byte.
constexpr std::string_view kInsertionPoint = "<!-- template replace -->\n";
// "<!-- ↑カテゴリ変更 ー-->" in code page 932, with ASCII spaces and the long-vowel mark 81 5B.
constexpr std::string_view kListingStart = "<!-- \x81\xAA\x83\x4A\x83\x65\x83\x53\x83\x8A\x95\xCF"
                                           "\x8D\x58 \x81\x5B-->\n";
constexpr std::string_view kListingEnd = "<HR NOSHADE>\n";

// "<p class="new-count">新着 N 件</p>" in code page 932.
std::string NewCountLine(std::int32_t newListings)
{
    return "<p class=\"new-count\">\x90\x56\x92\x85 " + std::to_string(newListings) +
           " \x8C\x8F</p>\n";
}

const char* FaultText(ScanFault fault)
{
    switch (fault) {
    case ScanFault::tooLarge:
        return "大きすぎます";
    case ScanFault::damaged:
        return "壊れています";
    case ScanFault::unreadable:
    case ScanFault::none:
        break;
    }
    return "読めません";
}

// The listings of the page this one is compared with; nullopt when there is none to trust.
std::optional<IdentitySet> EarlierListings(const char* outputPath)
{
    const std::string earlier = FindEarlierPage(outputPath);
    if (earlier.empty())
        return std::nullopt;
    ListingScan scan = ReadListingIdentities(earlier);
    if (scan.fault != ScanFault::none) {
        LogLine(std::string("前回の結果ページと比べられません（") + FaultText(scan.fault) +
                "）: " + earlier);
        return std::nullopt;
    }
    return std::move(scan.identities);
}

// Reads a file piece by piece and tells whether the current piece is a whole marker line.
// One reader serves file after file, so its buffer is made once per merge.
class LineReader
{
public:
    bool Open(const std::string& path)
    {
        m_lineStart = m_nextLineStart = true;
        return m_reader.Open(path);
    }

    bool Next()
    {
        if (!m_reader.ReadPiece(m_piece))
            return false;
        m_lineStart = m_nextLineStart;
        m_nextLineStart = m_piece.back() == '\n';
        return true;
    }

    // Valid until the next call of Next or Open.
    std::string_view Piece() const { return m_piece; }
    // True when reading stopped on an error, not at the end of the file.
    bool HasError() const { return m_reader.HasError(); }

    // The tail piece of an over-long line may look like a marker, but the line is not one.
    bool IsLine(std::string_view marker) const { return m_lineStart && m_piece == marker; }

private:
    platform::TextReader m_reader;
    std::string_view m_piece;
    bool m_lineStart = true;
    bool m_nextLineStart = true;
};

// Copies the first listing of one page; a page that cannot be read contributes nothing.
void CopyListing(const char* pagePath, LineReader& page, NewListingMarker& output)
{
    if (!page.Open(pagePath))
        return;
    bool foundStart = false;
    while (!foundStart && page.Next())
        foundStart = page.IsLine(kListingStart);
    while (foundStart && page.Next() && !page.IsLine(kListingEnd))
        output.Write(page.Piece());
}

} // namespace

std::int32_t MergeDownloadFiles(const char* outputPath, const char* const* pageFiles,
                                const std::string& templatePath, bool markNew,
                                std::optional<std::vector<PageCount>>* counts)
{
    if (counts != nullptr)
        counts->reset();
    if (outputPath == nullptr)
        return 1;
    // Read before the new page can take the place of the earlier one.
    const std::optional<IdentitySet> earlier = markNew ? EarlierListings(outputPath) : std::nullopt;
    // Another run may write the same page at the same time, and a link at its name must not
    // send the page elsewhere: the page is written beside its place and renamed into it.
    platform::TextWriter output;
    if (!output.Open(outputPath))
        return 1;
    LineReader pageTemplate;
    if (templatePath.empty() || !pageTemplate.Open(templatePath))
        return 1; // the earlier page, if any, stays

    while (pageTemplate.Next() && !pageTemplate.IsLine(kInsertionPoint))
        output.WritePiece(pageTemplate.Piece());
    // One guard for all listings: a tag may run on from one page's listing into the next.
    HttpEquivGuard listings([&output](std::string_view text) { output.WritePiece(text); });
    NewListingMarker marker([&listings](std::string_view text) { listings.Write(text); },
                            earlier ? &*earlier : nullptr);
    std::vector<PageCount> pageCounts;
    LineReader page;
    for (const char* const* path = pageFiles; path != nullptr && *path != nullptr; ++path) {
        CopyListing(*path, page, marker);
        pageCounts.push_back(marker.EndPage());
        // Only where it cannot land inside a row or a tag of the listing.
        if (pageCounts.back().newListings > 0 && marker.Settled())
            listings.Write(NewCountLine(pageCounts.back().newListings));
    }
    const bool counted = marker.Finish();
    listings.Finish();
    while (pageTemplate.Next())
        output.WritePiece(pageTemplate.Piece());

    // A full disk, a failed rename or a template that could not be read to its end must not
    // pass for a finished page, nor replace the earlier one.
    if (pageTemplate.HasError() || !output.Close())
        return 1;
    if (!counted)
        LogLine(std::string("番組を数えられません（ページが壊れています）: ") + outputPath);
    if (counts != nullptr && counted)
        *counts = std::move(pageCounts);
    return 0;
}

} // namespace medora
