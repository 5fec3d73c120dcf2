#include "new_listing_marker.h"

#include <limits>

namespace medora {
namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsClassName(std::string_view name)
{
    constexpr std::string_view kClass = "class";
    if (name.size() != kClass.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (Lower(name[i]) != kClass[i])
            return false;
    return true;
}

// Where the first class attribute of a tag lies; all npos when it has none.
struct ClassAttribute
{
    std::size_t name = std::string_view::npos;
    std::size_t value = std::string_view::npos; // first byte of the value, after any quote
    std::size_t valueEnd = std::string_view::npos;
    char quote = 0;
};

// Reads attributes as a browser does: a name, then optionally '=' and a value, quoted or not.
ClassAttribute FindClass(std::string_view tag, std::size_t& nameEnd)
{
    const auto stopsName = [](char c) { return IsSpace(c) || c == '/' || c == '>' || c == '='; };
    std::size_t at = 1;
    while (at < tag.size() && !stopsName(tag[at]))
        ++at;
    nameEnd = at;
    while (at < tag.size() && tag[at] != '>') {
        if (IsSpace(tag[at]) || tag[at] == '/') {
            ++at;
            continue;
        }
        ClassAttribute found;
        found.name = at;
        while (at < tag.size() && !(stopsName(tag[at]) && at > found.name))
            ++at;
        const bool isClass = IsClassName(tag.substr(found.name, at - found.name));
        while (at < tag.size() && IsSpace(tag[at]))
            ++at;
        if (at < tag.size() && tag[at] == '=') {
            ++at;
            while (at < tag.size() && IsSpace(tag[at]))
                ++at;
            if (at < tag.size() && (tag[at] == '"' || tag[at] == '\''))
                found.quote = tag[at++];
            found.value = at;
            while (at < tag.size() && (found.quote != 0 ? tag[at] != found.quote
                                                        : !IsSpace(tag[at]) && tag[at] != '>'))
                ++at;
            found.valueEnd = at;
            if (found.quote != 0 && at < tag.size())
                ++at;
        }
        if (isClass)
            return found;
    }
    return {};
}

} // namespace

std::string WithClass(std::string_view tag, std::string_view className)
{
    std::size_t nameEnd = 0;
    const ClassAttribute found = FindClass(tag, nameEnd);
    std::string marked(tag);
    const std::string quoted = "\"" + std::string(className) + "\"";
    if (found.name == std::string_view::npos) {
        marked.insert(nameEnd, " class=" + quoted);
    } else if (found.value == std::string_view::npos) {
        marked.insert(found.name + 5, "=" + quoted); // after "class"
    } else if (found.quote != 0) {
        const bool empty = found.value == found.valueEnd;
        marked.insert(found.value, std::string(className) + (empty ? "" : " "));
    } else {
        // Quoted with a quote the value does not hold, so it stays one value.
        const std::string_view value = tag.substr(found.value, found.valueEnd - found.value);
        const bool hasDouble = value.find('"') != std::string_view::npos;
        if (hasDouble && value.find('\'') != std::string_view::npos)
            return marked; // no way to quote it: the row goes unmarked, but counted
        const std::string quote = hasDouble ? "'" : "\"";
        marked.replace(found.value, value.size(),
                       quote + std::string(className) + " " + std::string(value) + quote);
    }
    return marked;
}

NewListingMarker::NewListingMarker(std::function<void(std::string_view)> sink,
                                   const IdentitySet* earlier)
    : m_sink(std::move(sink))
    , m_earlier(earlier)
    // The merge is the program's own output: its size is bounded elsewhere, not here.
    , m_scanner(ScanLimits{std::numeric_limits<std::size_t>::max()})
{
    m_scanner.SetObserver(this, m_earlier != nullptr);
    m_page.newListings = m_earlier != nullptr ? 0 : -1;
}

void NewListingMarker::Write(std::string_view piece)
{
    // Only counting, nothing is ever marked: the bytes go on as they come.
    if (m_earlier == nullptr) {
        m_scanner.Feed(piece);
        PassOnLines(piece);
        return;
    }
    if (m_scanner.Fault() != ScanFault::none) {
        PassOnLines(piece);
        return;
    }
    m_held.append(piece);
    m_scanner.Feed(piece);
    // A row that cannot be read goes on as it came, and so does all that follows.
    PassOn(m_scanner.Fault() != ScanFault::none ? m_heldStart + m_held.size() - m_added
                                                : m_scanner.SettledOffset());
}

PageCount NewListingMarker::EndPage()
{
    const PageCount page = m_page;
    m_page = PageCount{0, m_earlier != nullptr ? 0 : -1};
    return page;
}

bool NewListingMarker::Settled() const
{
    return m_scanner.Fault() == ScanFault::none && m_scanner.BetweenRows() && m_held.empty();
}

bool NewListingMarker::Finish()
{
    PassOn(m_heldStart + m_held.size() - m_added);
    return m_scanner.Fault() == ScanFault::none;
}

void NewListingMarker::ListingEnded(std::string_view identity, std::size_t tagStart,
                                    std::size_t tagEnd)
{
    ++m_page.listings;
    if (m_earlier == nullptr)
        return;
    if (m_earlier->contains(identity))
        return;
    ++m_page.newListings;
    const std::size_t from = HeldIndex(tagStart);
    const std::size_t length = HeldIndex(tagEnd) - from;
    const std::string marked =
        WithClass(std::string_view(m_held).substr(from, length), kNewListingClass);
    m_held.replace(from, length, marked);
    m_added += marked.size() - length;
}

// Passes on the held bytes fed before offset, a line at a time.
void NewListingMarker::PassOn(std::size_t upTo)
{
    const std::size_t end = HeldIndex(upTo);
    PassOnLines(std::string_view(m_held).substr(0, end));
    m_held.erase(0, end);
    m_heldStart = upTo;
    m_added = 0;
}

void NewListingMarker::PassOnLines(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t lineEnd = text.find('\n');
        const std::size_t length = lineEnd == std::string_view::npos ? text.size() : lineEnd + 1;
        m_sink(text.substr(0, length));
        text.remove_prefix(length);
    }
}

std::size_t NewListingMarker::HeldIndex(std::size_t offset) const
{
    return offset - m_heldStart + m_added;
}

} // namespace medora
