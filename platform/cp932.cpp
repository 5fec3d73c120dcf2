#include "platform/cp932.h"

#include "platform/utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace platform {

namespace {

// Trail bytes of code page 932: 0x40-0x7E and 0x80-0xFC.
bool IsTrailByte(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// One iconv conversion descriptor for the duration of a call (descriptors are not
// thread-safe, and conversions are rare enough not to need a cache).
class Iconv
{
public:
    Iconv(const char* to, const char* from)
        : m_cd(iconv_open(to, from))
    {}
    ~Iconv()
    {
        if (IsValid())
            iconv_close(m_cd);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // iconv_open's failure value is (iconv_t)-1.
    bool IsValid() const
    {
        return m_cd != reinterpret_cast<iconv_t>(-1); // NOLINT(performance-no-int-to-ptr)
    }

    // Converts as much as possible, appending to out; returns the errno that stopped it
    // (0 when all input was converted). in and inLeft are advanced past what was read.
    int Convert(const char*& in, std::size_t& inLeft, std::string& out)
    {
        char chunk[1024];
        while (inLeft > 0) {
            char* dst = chunk;
            std::size_t dstLeft = sizeof chunk;
            char* src = const_cast<char*>(in);
            std::size_t rc = iconv(m_cd, &src, &inLeft, &dst, &dstLeft);
            int err = (rc == static_cast<std::size_t>(-1)) ? errno : 0;
            out.append(chunk, sizeof chunk - dstLeft);
            in = src;
            if (err != 0 && err != E2BIG)
                return err;
        }
        return 0;
    }

private:
    iconv_t m_cd;
};

constexpr char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD

// Characters in code page 932 text that iconv wrote (so every lead byte has its trail byte).
std::size_t Cp932CharacterCount(std::string_view cp932)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < cp932.size(); ++count)
        i += IsLeadByte(static_cast<unsigned char>(cp932[i])) ? 2 : 1;
    return count;
}

// Characters in well-formed UTF-8: every byte but the continuation bytes 80-BF begins one.
std::size_t Utf8CharacterCount(std::string_view utf8)
{
    std::size_t count = 0;
    for (const char byte : utf8)
        count += (static_cast<unsigned char>(byte) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

std::string NotInCodePageText(std::string_view character)
{
    return "「" + std::string(character) + "」(" + CodePointName(character) +
           ") は Shift_JIS (CP932) で表せない文字です。";
}

// The first character of well-formed UTF-8 that iconv converts to no bytes at all (it does so
// without an error for the tag characters U+E0000-E007F); empty when there is none.
std::string_view FirstDroppedCharacter(Iconv& conv, std::string_view utf8)
{
    while (!utf8.empty()) {
        // At least a byte each time, so that no input can stop the walk.
        const std::string_view character =
            utf8.substr(0, std::max<std::size_t>(Utf8CharacterLength(utf8), 1));
        const char* in = character.data();
        std::size_t left = character.size();
        std::string out;
        if (conv.Convert(in, left, out) == 0 && out.empty())
            return character;
        utf8.remove_prefix(character.size());
    }
    return {};
}

} // namespace

bool IsLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::size_t BoundedLength(std::string_view text, std::size_t n)
{
    std::size_t i = 0;
    while (i < n && i < text.size()) {
        if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
            // A character that would cross the limit, or a lead byte with no trail, is dropped.
            if (i + 1 >= n || i + 1 >= text.size())
                break;
            i += 2;
        } else {
            ++i;
        }
    }
    return i;
}

void BoundedCopy(char* dst, const char* src, std::size_t n)
{
    if (dst == nullptr)
        return;
    std::string_view text = src ? std::string_view(src) : std::string_view("");
    std::size_t kept = BoundedLength(text, n);
    std::memcpy(dst, text.data(), kept);
    std::memset(dst + kept, 0, n - kept);
}

bool IsCp932(std::string_view text)
{
    Iconv conv("UTF-8", "CP932");
    const char* in = text.data();
    std::size_t left = text.size();
    std::string discarded;
    return conv.IsValid() && conv.Convert(in, left, discarded) == 0;
}

std::string Cp932ToUtf8(std::string_view cp932)
{
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    Iconv conv("UTF-8", "CP932");
    if (!conv.IsValid())
        return out;
    const char* in = cp932.data();
    std::size_t left = cp932.size();
    while (left > 0) {
        if (conv.Convert(in, left, out) == 0)
            break;
        // Undecodable: replace the whole character when it looks like one, else one byte, so
        // a stray trail byte does not turn into a false ASCII character.
        auto lead = static_cast<unsigned char>(*in);
        std::size_t skip =
            (IsLeadByte(lead) && left >= 2 && IsTrailByte(static_cast<unsigned char>(in[1]))) ? 2
                                                                                              : 1;
        out += kReplacement;
        in += skip;
        left -= skip;
    }
    return out;
}

Result<std::string> Utf8ToCp932(std::string_view utf8)
{
    Iconv conv("CP932", "UTF-8");
    if (!conv.IsValid())
        return Failure{"Shift_JIS (CP932) への変換が使えません。"};
    std::string out;
    const char* in = utf8.data();
    std::size_t left = utf8.size();
    const int err = conv.Convert(in, left, out);
    if (err == 0) {
        // Each character becomes one character of the code page unless iconv left it out.
        if (Cp932CharacterCount(out) == Utf8CharacterCount(utf8))
            return out;
        return Failure{NotInCodePageText(FirstDroppedCharacter(conv, utf8))};
    }
    // iconv stops with EILSEQ both on a character it cannot convert and on bytes that are no
    // UTF-8 at all; only the first kind is a character worth naming.
    const std::size_t length = Utf8CharacterLength(std::string_view(in, left));
    if (err == EILSEQ && length > 0)
        return Failure{NotInCodePageText(std::string_view(in, length))};
    return Failure{std::string(kNotUtf8Text)};
}

} // namespace platform
