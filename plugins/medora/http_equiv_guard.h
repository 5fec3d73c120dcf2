#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace medora {

// Makes the http-equiv attributes of copied listings inert by putting "data-vistrel-inert-"
// before each name; every other byte passes unchanged. A listing's refresh would take the
// browser away from the result page, which the page's content policy cannot stop, and its
// value may be spelt with character references, so the name goes whatever the value. In a
// page's body no other http-equiv does anything the result page needs.
//
// The name counts in any ASCII case where HTML reads it as an attribute's: after a blank
// (space, tab, LF, FF, CR), a "/" or a quote, and before a blank, "/", ">" or "=". None of the
// bytes before it can be the second byte of a code page 932 character, so a double-byte
// character ending in an ASCII-looking byte never starts a name, and the bytes after such a
// boundary are single-byte characters.
//
// Text arrives in pieces (lines, and pieces of long lines); a name split between pieces is
// found all the same, since a piece's tail that may begin one is held back for the next.
class HttpEquivGuard
{
public:
    using Sink = std::function<void(std::string_view)>;

    explicit HttpEquivGuard(Sink sink);

    void Write(std::string_view piece);
    // Passes on what is held back (a whole name made inert, since what follows is not known);
    // the next piece starts afresh, as after a line end.
    void Finish();

private:
    std::size_t HoldTail(std::string_view piece) const;

    Sink m_sink;
    std::string m_held;          // the tail of the last piece: the start of a name
    bool m_afterBoundary = true; // a name may begin at the next byte
};

} // namespace medora
