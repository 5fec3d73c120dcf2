#include "merge.h"

#include "http_equiv_guard.h"
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
void CopyListing(const char* pagePath, LineReader& page, HttpEquivGuard& output)
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
                                const std::string& templatePath)
{
    if (outputPath == nullptr)
        return 1;
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
    LineReader page;
    for (const char* const* path = pageFiles; path != nullptr && *path != nullptr; ++path)
        CopyListing(*path, page, listings);
    listings.Finish();
    while (pageTemplate.Next())
        output.WritePiece(pageTemplate.Piece());

    // A full disk, a failed rename or a template that could not be read to its end must not
    // pass for a finished page, nor replace the earlier one.
    if (pageTemplate.HasError())
        return 1;
    return output.Close() ? 0 : 1;
}

} // namespace medora
