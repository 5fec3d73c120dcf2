#include "listing_identity.h"

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

} // namespace

void ListingScanner::Feed(std::string_view bytes)
{
    for (char c : bytes) {
        if (m_fault != ScanFault::none)
            return;
        if (++m_seen > m_limits.pageBytes)
            Fail(ScanFault::tooLarge);
        else if (c == '\0')
            Fail(ScanFault::damaged);
        else
            Take(c);
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
        const bool endTagSlash = c == '/' && m_tagName == "/";
        if (IsSpace(c) || (c == '/' && !endTagSlash))
            m_tagNameDone = true;
        else if (m_tagName.size() < kTagNameBytes)
            m_tagName += Lower(c);
        if (m_tagName == "!--") {
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
    if (m_tagName == "script" || m_tagName == "style") {
        m_mode = Mode::rawText;
        m_rawEnd = m_tagName == "script" ? "</script" : "</style";
        m_rawMatched = 0;
        return;
    }
    // Markup separates words as white space does: "<td>a</td><td>b</td>" reads "a b".
    if (m_inRow)
        m_pendingSpace = !m_row.empty();
    const std::string& name = m_tagName;
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
            m_observer->ListingEnded(m_row, m_rowTagStart, m_rowTagEnd);
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

ListingScan ScanListings(std::string_view page, ScanLimits limits)
{
    ListingScanner scanner(limits);
    scanner.Feed(page);
    return scanner.Finish();
}

} // namespace medora
