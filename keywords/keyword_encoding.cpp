#include "keywords/keyword_encoding.h"

#include "platform/utf8.h"

namespace keywords {

FileEncoding DetectEncoding(std::string_view fileBytes)
{
    if (fileBytes.starts_with(kUtf8Bom))
        return {TextEncoding::Utf8, true};
    // Text of only ASCII is valid code page 932, so a UTF-8 file found here holds more.
    if (platform::IsUtf8(fileBytes) && !platform::IsCp932(fileBytes))
        return {TextEncoding::Utf8, false};
    return {};
}

std::string KeywordToUtf8(std::string_view keyword, TextEncoding encoding)
{
    return encoding == TextEncoding::Utf8 ? platform::ValidUtf8(keyword)
                                          : platform::Cp932ToUtf8(keyword);
}

platform::Result<std::string> KeywordSearchText(std::string_view keyword, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return platform::Utf8ToCp932(keyword);
    return std::string(keyword);
}

platform::Result<std::string> KeywordFromUtf8(std::string_view utf8, TextEncoding encoding)
{
    if (encoding == TextEncoding::Cp932)
        return platform::Utf8ToCp932(utf8);
    if (!platform::IsUtf8(utf8))
        return platform::Failure{std::string(platform::kNotUtf8Text)};
    return std::string(utf8);
}

} // namespace keywords
