#include "search_url.h"

#include "platform/cp932.h"

#include <array>
#include <utility>

namespace medora {
namespace {

constexpr int kRegionCount = 47;
constexpr std::int32_t kDefaultRegion = 8;

bool IsSafeByte(unsigned char byte)
{
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= 'a' && byte <= 'z') || (byte >= 0xA6 && byte <= 0xDF);
}

// Appends as much of piece as fits in size bytes of text, never half a character.
void AppendBounded(std::string& text, std::string_view piece, std::size_t size)
{
    const std::size_t room = size > text.size() ? size - text.size() : 0;
    text.append(piece.substr(0, platform::BoundedLength(piece, room)));
}

} // namespace

std::string RegionCode(std::int32_t region)
{
    if (region < 1 || region > kRegionCount)
        region = kDefaultRegion;
    std::string code = std::to_string(region);
    return std::string(3 - code.size(), '0') + code;
}

std::string EncodeKeyword(const char* keyword)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    if (keyword == nullptr)
        return out;
    bool escapeNext = false;
    for (const char* p = keyword; *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if (!escapeNext && (IsSafeByte(byte) || byte == ' ')) {
            if (out.size() + 1 > kMaxEncodedKeywordBytes)
                break;
            out += byte == ' ' ? '+' : *p;
            continue;
        }
        if (out.size() + 3 > kMaxEncodedKeywordBytes)
            break;
        out += '%';
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
        // An unsafe byte is taken for the lead byte of a double-byte character, so the byte
        // after it is escaped as well; that second escape does not start another pair.
        escapeNext = !escapeNext;
    }
    return out;
}

std::string BuildSearchUrl(const char* keyword, std::int32_t region, std::string_view startDate,
                           std::string_view period, std::size_t size)
{
    const std::string area = RegionCode(region);
    const std::string key = EncodeKeyword(keyword);
    const std::array<std::pair<std::string_view, std::string_view>, 11> parameters{{
        {"mode", "10"},
        {"site", "007"},
        {"sort", "d"},
        {"sdate", startDate},
        {"ldate", period},
        {"shour", "05"},
        {"lhour", "24"},
        {"template", "keyword"},
        {"category", "tc"},
        {"area", area},
        {"key", key},
    }};

    std::string url;
    AppendBounded(url, "/tv.php", size);
    for (const auto& [name, value] : parameters) {
        std::string piece(url.find('?') == std::string::npos ? "?" : "&");
        piece.append(name).append("=").append(value);
        AppendBounded(url, piece, size);
    }
    return url;
}

} // namespace medora
