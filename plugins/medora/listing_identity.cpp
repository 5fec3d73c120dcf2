#include "listing_identity.h"

#include <algorithm>

namespace medora {
namespace {

// Enough for every tag name that matters here; longer names are kept cut, and never match.
constexpr std::size_t kTagNameBytes = 8;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Where a quote may open or the tag end; a plain loop, as find_first_of calls memchr per byte.
std::size_t QuoteOrTagEnd(std::string_view bytes)
{
    std::size_t at = 0;
    while (at < bytes.size() && bytes[at] != '>' && bytes[at] != '"' && bytes[at] != '\'')
        ++at;
    return at;
}

// Where a tag's name ends: at white space, '/' or '>'.
std::size_t NameEnd(std::string_view bytes)
{
    std::size_t at = 0;
    while (at < bytes.size() && !IsSpace(bytes[at]) && bytes[at] != '/' && bytes[at] != '>')
        ++at;
    return at;
}

} // namespace

void ListingScanner::Feed(std::string_view bytes)
{
    while (!bytes.empty() && m_fault == ScanFault::none) {
        // Runs that can change nothing but the row's text are taken whole: most of a page is
        // text and attributes.
        const std::size_t run = RunLength(bytes);
        if (run > 0) {
            TakeRun(bytes.substr(0, run));
            bytes.remove_prefix(run);
            continue;
        }
        const char c = bytes.front();
        bytes.remove_prefix(1);
        if (++m_seen > m_limits.pageBytes)
            Fail(ScanFault::tooLarge);
        else if (c == '\0')
            Fail(ScanFault::damaged);
        else
            Take(c);
    }
}

std::size_t ListingScanner::RunLength(std::string_view bytes) const
{
    std::size_t end = 0;
    if (m_mode == Mode::text)
        end = bytes.find('<');
    else if (m_mode == Mode::tag && m_tagNameDone)
        end = m_quote != 0 ? bytes.find(m_quote) : QuoteOrTagEnd(bytes);
    else if (m_mode == Mode::tag && m_tagName.front() != '!') // not a comment's start
        end = NameEnd(bytes);
    return std::min(end, bytes.size());
}

void ListingScanner::TakeRun(std::string_view run)
{
    // The limits and the zero byte fail the page where byte by byte they would.
    const std::size_t room = m_limits.pageBytes - std::min(m_seen, m_limits.pageBytes);
    const std::size_t zero = run.find('\0');
    if (zero != std::string_view::npos && zero < room) {
        m_seen += zero + 1;
        Fail(ScanFault::damaged);
        return;
    }
    if (run.size() > room) {
        m_seen += room + 1;
        Fail(ScanFault::tooLarge);
        return;
    }
    m_seen += run.size();
    if (m_mode == Mode::tag && !m_tagNameDone) {
        for (char c : run.substr(0, kTagNameBytes - std::min(m_tagName.size(), kTagNameBytes)))
            m_tagName += Lower(c);
        m_lastTagByte = run.back();
        return;
    }
    if (m_mode == Mode::tag) {
        // Inside a tag only the last byte that is not white space matters, for quotes.
        const auto last = std::find_if_not(run.rbegin(), run.rend(), IsSpace);
        if (m_quote == 0 && last != run.rend())
            m_lastTagByte = *last;
        return;
    }
    if (!m_inRow)
        return;
    if (!m_wantsIdentity) {
        // Whether the row has text at all is all that counts.
        if (m_row.empty() && std::find_if_not(run.begin(), run.end(), IsSpace) != run.end())
            m_row = "x";
        return;
    }
    for (char c : run) {
        TakeText(c);
        if (m_fault != ScanFault::none)
            return;
    }
}

ListingScan ListingScanner::Finish()
{
    // A page cut short inside a row or a tag is not the page that was written.
    if (m_fault == ScanFault::none && (m_mode != Mode::text || m_inRow))
        Fail(ScanFault::damaged);
    ListingScan scan;
    scan.fault = m_fault;
    if (m_fault == ScanFault::none)
        scan.identities = std::move(m_identities);
    return scan;
}

void ListingScanner::Take(char c)
{
    switch (m_mode) {
    case Mode::text:
        if (c == '<') {
            m_mode = Mode::tagOpen;
            m_tagStart = m_seen - 1;
        } else
            TakeText(c);
        return;
    case Mode::tagOpen:
        // As in a browser, '<' starts a tag only before a letter, '/' or '!'.
        if (IsAsciiLetter(c) || c == '/' || c == '!') {
            m_mode = Mode::tag;
            m_tagName.assign(1, Lower(c));
            m_tagNameDone = false;
            m_quote = 0;
            m_lastTagByte = c;
        } else {
            m_mode = Mode::text;
            TakeText('<');
            Take(c);
        }
        return;
    case Mode::tag:
        TakeTag(c);
        return;
    case Mode::rawText:
        TakeRawText(c);
        return;
    case Mode::comment:
        if (c == '>' && m_commentDashes >= 2)
            m_mode = Mode::text;
        m_commentDashes = c == '-' ? m_commentDashes + 1 : 0;
        return;
    }
}

void ListingScanner::TakeText(char c)
{
    if (!m_inRow)
        return;
    if (IsSpace(c)) {
        m_pendingSpace = !m_row.empty();
        return;
    }
    if (m_pendingSpace)
        m_row += ' ';
    m_pendingSpace = false;
    m_row += c;
    if (m_row.size() > m_limits.rowBytes)
        Fail(ScanFault::damaged);
}

void ListingScanner::TakeTag(char c)
{
    if (m_quote != 0) {
        if (c == m_quote)
            m_quote = 0;
        return;
    }
    if (c == '>') {
        EndTag();
        return;
    }
    if (!m_tagNameDone) {
        const bool endTagSlash = c == '/' && std::string_view(m_tagName) == "/";
        if (IsSpace(c) || (c == '/' && !endTagSlash))
            m_tagNameDone = true;
        else if (m_tagName.size() < kTagNameBytes)
            m_tagName += Lower(c);
        if (std::string_view(m_tagName) == "!--") {
            m_mode = Mode::comment;
            m_commentDashes = 0;
            return;
        }
    } else if ((c == '"' || c == '\'') && m_lastTagByte == '=') {
        m_quote = c; // only a value's first byte opens a quote
    }
    if (!IsSpace(c))
        m_lastTagByte = c;
}

void ListingScanner::TakeRawText(char c)
{
    const char lower = Lower(c);
    if (lower == m_rawEnd[m_rawMatched])
        ++m_rawMatched;
    else
        m_rawMatched = lower == '<' ? 1 : 0;
    if (m_rawMatched < m_rawEnd.size())
        return;
    // The end tag goes on as any tag does, up to its '>'.
    m_mode = Mode::tag;
    m_tagStart = m_seen - m_rawEnd.size();
    m_tagName = m_rawEnd.substr(1);
    m_tagNameDone = false;
    m_quote = 0;
    m_lastTagByte = c;
}

void ListingScanner::EndTag()
{
    m_mode = Mode::text;
    // Script and style text may hold anything that looks like markup, rows too.
    const std::string_view tagName = m_tagName;
    if (tagName == "script" || tagName == "style") {
        m_mode = Mode::rawText;
        m_rawEnd = tagName == "script" ? "</script" : "</style";
        m_rawMatched = 0;
        return;
    }
    // Markup separates words as white space does: "<td>a</td><td>b</td>" reads "a b".
    if (m_inRow)
        m_pendingSpace = !m_row.empty();
    // Views compare their sizes first; most tags are none of these.
    const std::string_view name = m_tagName;
    if (m_inRow && m_nestedTables > 0) {
        // A table inside a cell belongs to its row's text.
        if (name == "table")
            ++m_nestedTables;
        else if (name == "/table")
            --m_nestedTables;
        return;
    }
    if (name == "tr") {
        StartRow(); // an open row without its end tag ends here
    } else if (name == "/tr" || name == "/table" || name == "tbody" || name == "/tbody" ||
               name == "thead" || name == "tfoot") {
        EndRow();
    } else if (m_inRow && (name == "td" || name == "th")) {
        m_rowHasCell = m_rowHasCell || name == "td";
    } else if (m_inRow && name == "table") {
        ++m_nestedTables;
    }
}

void ListingScanner::StartRow()
{
    EndRow();
    m_inRow = true;
    m_rowTagStart = m_tagStart;
    m_rowTagEnd = m_seen;
}

void ListingScanner::EndRow()
{
    if (m_inRow && m_rowHasCell && !m_row.empty()) {
        if (m_observer != nullptr)
            m_observer->ListingEnded(m_wantsIdentity ? std::string_view(m_row) : std::string_view(),
                                     m_rowTagStart, m_rowTagEnd);
        else
            m_identities.insert(m_row);
    }
    m_inRow = false;
    m_rowHasCell = false;
    m_nestedTables = 0;
    m_pendingSpace = false;
    m_row.clear();
}

void ListingScanner::Fail(ScanFault fault)
{
    m_fault = fault;
    m_identities.clear();
    m_row.clear();
}

std::size_t ListingScanner::SettledOffset() const
{
    if (m_inRow)
        return m_rowTagStart;
    if (m_mode == Mode::tagOpen || m_mode == Mode::tag)
        return m_tagStart;
    return m_seen;
}

} // namespace medora
