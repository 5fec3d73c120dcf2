#pragma once

#include <array>
#include <cstdint>

// Byte classes of markup, as a browser reads them; code page 932's second bytes are never
// among them but for letters, which only matter right after '<'. Looked up in a table: the
// scan asks about every byte of every tag.
namespace medora {

enum ByteClass : std::uint8_t {
    space = 1,    // white space
    endsName = 2, // ends a tag's name: white space, '/', '>'
    tagStop = 4,  // may end a run inside a tag: '>', a quote
};

inline constexpr std::array<std::uint8_t, 256> kByteClasses = [] {
    std::array<std::uint8_t, 256> classes{};
    for (const unsigned char c : {' ', '\t', '\n', '\r', '\f'})
        classes[c] = ByteClass::space | ByteClass::endsName;
    classes['/'] = ByteClass::endsName;
    classes['>'] = ByteClass::endsName | ByteClass::tagStop;
    classes['"'] = ByteClass::tagStop;
    classes['\''] = ByteClass::tagStop;
    return classes;
}();

inline bool Is(char c, ByteClass byteClass)
{
    return (kByteClasses[static_cast<unsigned char>(c)] & byteClass) != 0;
}

inline bool IsSpace(char c)
{
    return Is(c, ByteClass::space);
}

inline bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace medora
