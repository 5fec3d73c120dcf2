// How ListingScanner reads markup: a run at a time in each mode, looking for the one byte that
// can end the run with memchr where a run may be long (text, quoted values, comments, scripts).
#include "listing_identity.h"

#include "markup_bytes.h"

#include <algorithm>

namespace medora {

namespace {

// Runs between tags are mostly short: a loop finds their end sooner than a call would.
std::size_t FindByte(std::string_view bytes, char c, std::size_t at)
{
    const std::size_t near = std::min(bytes.size(), at + 16);
    for (; at < near; ++at) {
        if (bytes[at] == c)
            return at;
    }
    return bytes.find(c, at);
}

} // namespace

void ListingScanner::Scan(std::string_view piece)
{
    m_base = m_seen;
    std::size_t at = 0;
    while (at < piece.size() && m_fault == ScanFault::none) {
        switch (m_mode) {
        case Mode::text:
            at = ScanText(piece, at);
            break;
        case Mode::tagOpen:
            at = ScanTagOpen(piece, at);
            break;
        case Mode::tagName:
            at = ScanTagName(piece, at);
            break;
        case Mode::tag:
            at = ScanTag(piece, at);
            break;
        case Mode::quoted: {
            const std::size_t quote = piece.find(m_quote, at);
            if (quote == std::string_view::npos)
                at = piece.size();
            else {
                m_mode = Mode::tag;
                at = quote + 1;
            }
            break;
        }
        case Mode::comment:
            at = ScanComment(piece, at);
            break;
        case Mode::rawText:
            at = ScanRawText(piece, at);
            break;
        }
    }
    m_seen = m_base + piece.size();
}

std::size_t ListingScanner::ScanText(std::string_view piece, std::size_t at)
{
    while (m_mode == Mode::text) {
        const std::size_t open = FindByte(piece, '<', at);
        const std::size_t end = open == std::string_view::npos ? piece.size() : open;
        // Counting only, a row's text matters until it is known to have some.
        if (m_inRow && end > at && (m_wantsIdentity || !m_rowHasText))
            TakeText(piece.substr(at, end - at));
        if (open == std::string_view::npos || m_fault != ScanFault::none)
            return piece.size();
        at = ReadWholeTag(piece, open);
        if (at == std::string_view::npos) {
            // Cut by the piece's end, or not a plain tag: read byte by byte.
            m_mode = Mode::tagOpen;
            m_tagStart = m_base + open;
            return open + 1;
        }
    }
    return at;
}

// Most tags lie whole in a piece: read at once, they read as the modes below would read them.
std::size_t ListingScanner::ReadWholeTag(std::string_view piece, std::size_t open)
{
    std::size_t at = open + 1;
    // A comment, "<//" and a '<' that starts no tag are left to the modes.
    if (at + 1 >= piece.size() || !(IsAsciiLetter(piece[at]) || piece[at] == '/') ||
        (piece[at] == '/' && piece[at + 1] == '/'))
        return std::string_view::npos;
    ++at; // "</": the '/' is the name's first byte
    while (at < piece.size() && !Is(piece[at], ByteClass::endsName))
        ++at;
    m_tagName.AssignLower(piece.substr(open + 1, at - open - 1));
    const std::size_t attributes = at;
    for (; at < piece.size(); ++at) {
        const char c = piece[at];
        if (!Is(c, ByteClass::tagStop))
            continue;
        if (c == '>') {
            m_tagStart = m_base + open;
            return TagEndsAt(at);
        }
        // Only a value's first byte opens a quote: the byte before it that is not white
        // space is '='.
        std::size_t before = at - 1;
        while (before >= attributes && IsSpace(piece[before]))
            --before;
        if (piece[before] == '=') {
            at = FindByte(piece, c, at + 1);
            if (at == std::string_view::npos)
                return at;
        }
    }
    return std::string_view::npos;
}

std::size_t ListingScanner::ScanTagOpen(std::string_view piece, std::size_t at)
{
    // As in a browser, '<' starts a tag only before a letter, '/' or '!'.
    const char c = piece[at];
    if (IsAsciiLetter(c) || c == '/' || c == '!') {
        m_mode = Mode::tagName;
        m_tagName.Assign({});
        m_tagName.Add(Lower(c));
        m_lastTagByte = c;
        return at + 1;
    }
    m_mode = Mode::text;
    if (m_inRow)
        TakeText("<");
    return at; // the byte is read again as text
}

std::size_t ListingScanner::ScanTagName(std::string_view piece, std::size_t at)
{
    for (; at < piece.size(); ++at) {
        const char c = piece[at];
        if (c == '>')
            return TagEndsAt(at);
        // "</" may be followed by a second '/', which is still part of the name.
        if (IsSpace(c) || (c == '/' && m_tagName.View() != "/")) {
            m_mode = Mode::tag;
            if (c == '/')
                m_lastTagByte = c;
            return at + 1;
        }
        m_tagName.Add(Lower(c));
        m_lastTagByte = c;
        if (m_tagName.View() == "!--") {
            m_mode = Mode::comment;
            m_commentDashes = 0;
            return at + 1;
        }
    }
    return at;
}

std::size_t ListingScanner::ScanTag(std::string_view piece, std::size_t at)
{
    for (; at < piece.size(); ++at) {
        const char c = piece[at];
        if (c == '>')
            return TagEndsAt(at);
        // Only a value's first byte opens a quote.
        if ((c == '"' || c == '\'') && m_lastTagByte == '=') {
            m_quote = c;
            m_lastTagByte = c;
            m_mode = Mode::quoted;
            return at + 1;
        }
        if (!IsSpace(c))
            m_lastTagByte = c;
    }
    return at;
}

std::size_t ListingScanner::TagEndsAt(std::size_t at)
{
    EndTag(m_base + at + 1);
    return at + 1;
}

std::size_t ListingScanner::ScanComment(std::string_view piece, std::size_t at)
{
    // A comment ends at a '>' right after two dashes, none of them those of "<!--".
    while (at < piece.size()) {
        const std::size_t close = piece.find('>', at);
        const std::size_t stop = close == std::string_view::npos ? piece.size() : close;
        std::size_t dashes = 0;
        while (dashes < 2 && dashes < stop - at && piece[stop - 1 - dashes] == '-')
            ++dashes;
        if (dashes == stop - at)
            dashes += m_commentDashes; // all dashes: those before this run count too
        if (close == std::string_view::npos) {
            m_commentDashes = dashes;
            return piece.size();
        }
        if (dashes >= 2) {
            m_mode = Mode::text;
            return close + 1;
        }
        m_commentDashes = 0;
        at = close + 1;
    }
    return at;
}

std::size_t ListingScanner::ScanRawText(std::string_view piece, std::size_t at)
{
    while (at < piece.size()) {
        if (m_rawMatched == 0) {
            const std::size_t open = piece.find('<', at);
            if (open == std::string_view::npos)
                return piece.size();
            m_rawMatched = 1;
            at = open + 1;
            continue;
        }
        const char lower = Lower(piece[at++]);
        if (lower == m_rawEnd[m_rawMatched])
            ++m_rawMatched;
        else
            m_rawMatched = lower == '<' ? 1 : 0;
        if (m_rawMatched == m_rawEnd.size()) {
            // The end tag goes on as any tag does, up to its '>'.
            m_mode = Mode::tagName;
            m_tagStart = m_base + at - m_rawEnd.size();
            m_tagName.Assign(m_rawEnd.substr(1));
            m_lastTagByte = piece[at - 1];
            return at;
        }
    }
    return at;
}

} // namespace medora
