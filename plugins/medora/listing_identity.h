#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>

// What makes two listings the same: a listing is a table row with at least one data cell, and
// its identity is the row's own text with the markup taken out and each run of white space
// made one space. Where the row stands, its attributes (a mark added by an earlier merge
// among them) and how its lines are broken do not count, so a listing that only moved is the
// same listing. The keyword whose block holds it does not count either: a programme found by
// a second keyword is not news. Character references are compared as written, since the site
// writes the same listing the same way each time.
namespace medora {

// Bounds on reading a page that is not ours to trust.
struct ScanLimits
{
    std::size_t pageBytes = std::size_t{64} * 1024 * 1024;
    // No listing the site sends comes near this; a longer row means the page is broken.
    std::size_t rowBytes = std::size_t{64} * 1024;
};

enum class ScanFault {
    none,
    tooLarge,   // more bytes than ScanLimits::pageBytes
    damaged,    // a zero byte, an over-long row, or a row or tag still open at the end
    unreadable, // the file could not be opened or read to its end
};

struct ListingScan
{
    // Empty whenever fault is not none: a page only partly read says nothing reliable.
    std::unordered_set<std::string> identities;
    ScanFault fault = ScanFault::none;
};

// Told of each listing as its row ends, with where the row's start tag lies: offsets count the
// bytes fed to the scanner, from 0.
class ListingObserver
{
public:
    virtual void ListingEnded(std::string_view identity, std::size_t tagStart,
                              std::size_t tagEnd) = 0; // '<' and one past '>'

protected:
    ~ListingObserver() = default;
};

// Reads a page's listings from pieces of any size, in order. Bytes are looked at one by one;
// code page 932 never uses '<', '>', quotes or white space as the second byte of a character,
// so no character is cut.
class ListingScanner
{
public:
    explicit ListingScanner(ScanLimits limits = {})
        : m_limits(limits)
    {}

    // With an observer, listings go to it instead of into the identities Finish returns.
    // Without wantsIdentity it is told of each listing with an empty identity: only counting,
    // it saves building every row's text.
    void SetObserver(ListingObserver* observer, bool wantsIdentity = true)
    {
        m_observer = observer;
        m_wantsIdentity = wantsIdentity;
    }

    void Feed(std::string_view bytes);
    // Ends the page: the identities found, or the reason there are none.
    ListingScan Finish();

    ScanFault Fault() const { return m_fault; }
    // Bytes fed before this offset can no longer be part of a listing's start tag still to
    // be reported: no row and no tag is open before it.
    std::size_t SettledOffset() const;
    // Between tags in plain text, outside any row: text put in here stands on its own.
    bool BetweenRows() const { return m_mode == Mode::text && !m_inRow; }

private:
    enum class Mode {
        text,
        tagOpen, // after '<', not yet known to be a tag
        tag,
        comment,
        rawText, // a script's or a style sheet's text, up to its end tag
    };

    void Take(char c);
    void TakeText(char c);
    std::size_t RunLength(std::string_view bytes) const;
    void TakeRun(std::string_view run);
    void TakeTag(char c);
    void TakeRawText(char c);
    void EndTag();
    void StartRow();
    void EndRow();
    void Fail(ScanFault fault);

    ScanLimits m_limits;
    ListingObserver* m_observer = nullptr;
    bool m_wantsIdentity = true;
    std::size_t m_seen = 0;
    std::size_t m_tagStart = 0; // offset of the open tag's '<'
    std::size_t m_rowTagStart = 0;
    std::size_t m_rowTagEnd = 0;
    ScanFault m_fault = ScanFault::none;
    Mode m_mode = Mode::text;

    std::string m_tagName; // lower case, '/' first for an end tag; only the first bytes kept
    bool m_tagNameDone = false;
    char m_quote = 0;
    char m_lastTagByte = 0;
    std::size_t m_commentDashes = 0;
    std::string_view m_rawEnd; // "</script" or "</style"
    std::size_t m_rawMatched = 0;

    bool m_inRow = false;
    bool m_rowHasCell = false;
    int m_nestedTables = 0;
    bool m_pendingSpace = false;
    std::string m_row;

    std::unordered_set<std::string> m_identities;
};

// The identities of a whole page's listings.
inline ListingScan ScanListings(std::string_view page, ScanLimits limits = {})
{
    ListingScanner scanner(limits);
    scanner.Feed(page);
    return scanner.Finish();
}

} // namespace medora
