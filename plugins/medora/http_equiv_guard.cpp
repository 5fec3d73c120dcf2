#include "http_equiv_guard.h"

#include <cstring>

namespace medora {
namespace {

constexpr std::string_view kName = "http-equiv";
// The name and the byte that ends it.
constexpr std::size_t kMatchBytes = kName.size() + 1;
constexpr std::string_view kInert = "data-vistrel-inert-";
// The dash is rarer in listings than any letter of the name, so the search starts from it.
constexpr std::size_t kDashAt = 4;
static_assert(kName[kDashAt] == '-');

// Bytes after which HTML begins an attribute name (CR reads as LF there).
bool BeginsName(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == '/' || c == '"' ||
           c == '\'';
}

// Bytes that end an attribute name.
bool EndsName(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == '/' || c == '>' ||
           c == '=';
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// How many bytes of text match the name and its end, from the match's byte at on.
std::size_t Matching(std::string_view text, std::size_t at)
{
    std::size_t n = 0;
    for (; n < text.size() && at + n < kMatchBytes; ++n) {
        const std::size_t i = at + n;
        if (i < kName.size() ? Lower(text[n]) != kName[i] : !EndsName(text[n]))
            break;
    }
    return n;
}

} // namespace

HttpEquivGuard::HttpEquivGuard(Sink sink)
    : m_sink(std::move(sink))
{}

void HttpEquivGuard::Write(std::string_view piece)
{
    if (piece.empty())
        return;
    if (!m_held.empty()) {
        const std::string_view more = piece.substr(0, kMatchBytes - m_held.size());
        const std::size_t matched = Matching(more, m_held.size());
        if (matched == piece.size() && m_held.size() + matched < kMatchBytes) {
            m_held.append(piece); // still only the start of a name
            return;
        }
        if (m_held.size() + matched == kMatchBytes)
            m_sink(kInert);
        m_sink(m_held);
        m_held.clear();
        m_afterBoundary = false; // the held bytes are letters of the name
    }

    std::size_t written = 0;
    for (std::size_t from = kDashAt; from < piece.size();) {
        const void* dash = std::memchr(piece.data() + from, '-', piece.size() - from);
        if (dash == nullptr)
            break;
        const std::size_t start = static_cast<const char*>(dash) - piece.data() - kDashAt;
        if (start + kMatchBytes > piece.size())
            break; // the tail below
        from = start + kDashAt + 1;
        const bool boundary = start == 0 ? m_afterBoundary : BeginsName(piece[start - 1]);
        if (!boundary || Matching(piece.substr(start, kMatchBytes), 0) != kMatchBytes)
            continue;
        m_sink(piece.substr(written, start - written));
        m_sink(kInert);
        written = start;
    }

    const std::size_t hold = HoldTail(piece);
    m_sink(piece.substr(written, hold - written));
    m_held.assign(piece.substr(hold));
    m_afterBoundary = BeginsName(piece.back());
}

// Where the piece's tail begins that may be the start of a name; the piece's size if none.
std::size_t HttpEquivGuard::HoldTail(std::string_view piece) const
{
    // A held tail is all letters of the name; most pieces end in a line end.
    if (kName.find(Lower(piece.back())) == std::string_view::npos)
        return piece.size();
    const std::size_t first = piece.size() >= kMatchBytes ? piece.size() - kMatchBytes + 1 : 0;
    for (std::size_t start = first; start < piece.size(); ++start) {
        const bool boundary = start == 0 ? m_afterBoundary : BeginsName(piece[start - 1]);
        if (boundary && Matching(piece.substr(start), 0) == piece.size() - start)
            return start;
    }
    return piece.size();
}

void HttpEquivGuard::Finish()
{
    // What follows the listings is not known here; a whole name is taken for an attribute.
    if (m_held.size() == kName.size())
        m_sink(kInert);
    m_sink(m_held);
    m_held.clear();
    m_afterBoundary = true;
}

} // namespace medora
