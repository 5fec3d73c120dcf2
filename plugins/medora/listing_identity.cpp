#include "listing_identity.h"

#include "markup_bytes.h"

namespace medora {

void ListingScanner::Feed(std::string_view bytes)
{
    if (m_fault != ScanFault::none || bytes.empty())
        return;
    // The limits and the zero byte fail the page where they are met: rows that ended before
    // them are told as they would be.
    const std::size_t room = m_limits.pageBytes - std::min(m_seen, m_limits.pageBytes);
    const std::size_t zero = bytes.find('\0');
    const std::size_t usable = std::min({bytes.size(), zero, room});
    Scan(bytes.substr(0, usable));
    if (m_fault != ScanFault::none || usable == bytes.size())
        return;
    ++m_seen;
    Fail(zero < room ? ScanFault::damaged : ScanFault::tooLarge);
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

void ListingScanner::TakeText(std::string_view text)
{
    if (!m_wantsIdentity) {
        // Whether the row has text at all is all that counts.
        m_rowHasText =
            m_rowHasText || std::find_if_not(text.begin(), text.end(), IsSpace) != text.end();
        return;
    }
    // Each run of white space becomes one space, none at the row's start; words go in whole.
    std::size_t at = 0;
    while (at < text.size()) {
        if (IsSpace(text[at])) {
            m_pendingSpace = !m_row.empty();
            ++at;
            continue;
        }
        std::size_t wordEnd = at + 1;
        while (wordEnd < text.size() && !IsSpace(text[wordEnd]))
            ++wordEnd;
        if (m_pendingSpace)
            m_row += ' ';
        m_pendingSpace = false;
        m_row.append(text.substr(at, wordEnd - at));
        at = wordEnd;
    }
    m_rowHasText = !m_row.empty();
    if (m_row.size() > m_limits.rowBytes)
        Fail(ScanFault::damaged);
}

namespace {

enum class TagKind { other, script, style, tr, rowEnd, td, th, table, tableEnd };

// Told apart by length first: nearly every tag of a listing is none of these.
TagKind KindOf(std::string_view name)
{
    switch (name.size()) {
    case 2:
        return name == "tr"   ? TagKind::tr
               : name == "td" ? TagKind::td
               : name == "th" ? TagKind::th
                              : TagKind::other;
    case 3:
        return name == "/tr" ? TagKind::rowEnd : TagKind::other;
    case 5:
        if (name == "table")
            return TagKind::table;
        if (name == "style")
            return TagKind::style;
        return name == "tbody" || name == "thead" || name == "tfoot" ? TagKind::rowEnd
                                                                     : TagKind::other;
    case 6:
        if (name == "script")
            return TagKind::script;
        if (name == "/table")
            return TagKind::tableEnd;
        return name == "/tbody" ? TagKind::rowEnd : TagKind::other;
    default:
        return TagKind::other;
    }
}

} // namespace

void ListingScanner::EndTag(std::size_t tagEnd)
{
    m_mode = Mode::text;
    const TagKind kind = KindOf(m_tagName.View());
    // Script and style text may hold anything that looks like markup, rows too.
    if (kind == TagKind::script || kind == TagKind::style) {
        m_mode = Mode::rawText;
        m_rawEnd = kind == TagKind::script ? "</script" : "</style";
        m_rawMatched = 0;
        return;
    }
    if (!m_inRow) {
        if (kind == TagKind::tr)
            StartRow(tagEnd);
        return;
    }
    // Markup separates words as white space does: "<td>a</td><td>b</td>" reads "a b".
    m_pendingSpace = !m_row.empty();
    if (m_nestedTables > 0) {
        // A table inside a cell belongs to its row's text.
        m_nestedTables += kind == TagKind::table ? 1 : kind == TagKind::tableEnd ? -1 : 0;
        return;
    }
    switch (kind) {
    case TagKind::tr:
        StartRow(tagEnd); // an open row without its end tag ends here
        break;
    case TagKind::rowEnd:
    case TagKind::tableEnd:
        EndRow();
        break;
    case TagKind::td:
        m_rowHasCell = true;
        break;
    case TagKind::table:
        ++m_nestedTables;
        break;
    default:
        break;
    }
}

void ListingScanner::StartRow(std::size_t tagEnd)
{
    EndRow();
    m_inRow = true;
    m_rowTagStart = m_tagStart;
    m_rowTagEnd = tagEnd;
}

void ListingScanner::EndRow()
{
    if (m_inRow && m_rowHasCell && m_rowHasText) {
        if (m_observer != nullptr)
            m_observer->ListingEnded(m_wantsIdentity ? std::string_view(m_row) : std::string_view(),
                                     m_rowTagStart, m_rowTagEnd);
        else
            m_identities.insert(m_row);
    }
    m_inRow = false;
    m_rowHasCell = false;
    m_rowHasText = false;
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
    if (m_mode == Mode::tagOpen || m_mode == Mode::tagName || m_mode == Mode::tag ||
        m_mode == Mode::quoted)
        return m_tagStart;
    return m_seen;
}

} // namespace medora
