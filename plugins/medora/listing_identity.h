#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "identity_set.h"

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
    IdentitySet identities;
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

// The first bytes of a tag's name, in lower case, '/' first for an end tag. Names longer than
// any that matters here are kept cut, and so never match one.
class TagName
{
public:
    void Assign(std::string_view name)
    {
        m_size = std::min(name.size(), sizeof m_bytes);
        std::copy_n(name.begin(), m_size, m_bytes);
    }
    // The name as written, in lower case.
    void AssignLower(std::string_view name)
    {
        m_size = std::min(name.size(), sizeof m_bytes);
        for (std::size_t i = 0; i < m_size; ++i)
            m_bytes[i] =
                name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] + 32) : name[i];
    }
    void Add(char lower)
    {
        if (m_size < sizeof m_bytes)
            m_bytes[m_size++] = lower;
    }
    std::string_view View() const { return {m_bytes, m_size}; }

private:
    char m_bytes[8] = {};
    std::size_t m_size = 0;
};

// Reads a page's listings from pieces of any size, in order. Text is skipped to the next '<'
// (or the end of a comment, a script or a style sheet) a run at a time; code page 932 never
// uses '<', '>', quotes or white space as the second byte of a character, so no character is
// cut.
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
        tagName,
        tag,     // after the name, up to '>'
        quoted,  // inside a quoted attribute value
        comment, // up to "-->"
        rawText, // a script's or a style sheet's text, up to its end tag
    };

    // Reading markup (listing_markup.cpp): each takes a run of the piece from at, in its mode,
    // and gives where it stopped.
    void Scan(std::string_view piece);
    std::size_t ScanText(std::string_view piece, std::size_t at);
    std::size_t ReadWholeTag(std::string_view piece, std::size_t open);
    std::size_t ScanTagOpen(std::string_view piece, std::size_t at);
    std::size_t ScanTagName(std::string_view piece, std::size_t at);
    std::size_t ScanTag(std::string_view piece, std::size_t at);
    std::size_t ScanComment(std::string_view piece, std::size_t at);
    std::size_t ScanRawText(std::string_view piece, std::size_t at);
    std::size_t TagEndsAt(std::size_t at);

    // Rows and their text (listing_identity.cpp).
    void TakeText(std::string_view text);
    void EndTag(std::size_t tagEnd);
    void StartRow(std::size_t tagEnd);
    void EndRow();
    void Fail(ScanFault fault);

    ScanLimits m_limits;
    ListingObserver* m_observer = nullptr;
    bool m_wantsIdentity = true;
    std::size_t m_seen = 0;
    std::size_t m_base = 0;     // offset of the piece being scanned
    std::size_t m_tagStart = 0; // offset of the open tag's '<'
    std::size_t m_rowTagStart = 0;
    std::size_t m_rowTagEnd = 0;
    ScanFault m_fault = ScanFault::none;
    Mode m_mode = Mode::text;

    TagName m_tagName;
    char m_quote = 0;
    char m_lastTagByte = 0; // the last byte of the tag that is not white space, for quotes
    std::size_t m_commentDashes = 0;
    std::string_view m_rawEnd; // "</script" or "</style"
    std::size_t m_rawMatched = 0;

    bool m_inRow = false;
    bool m_rowHasCell = false;
    bool m_rowHasText = false;
    int m_nestedTables = 0;
    bool m_pendingSpace = false;
    std::string m_row; // kept between rows, so that reading a row allocates nothing

    IdentitySet m_identities;
};

// The identities of a whole page's listings.
inline ListingScan ScanListings(std::string_view page, ScanLimits limits = {})
{
    ListingScanner scanner(limits);
    scanner.Feed(page);
    return scanner.Finish();
}

} // namespace medora
