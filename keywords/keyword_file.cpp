#include "keywords/keyword_file.h"

namespace keywords {

std::vector<std::string> ParseKeywordFile(std::string_view bytes)
{
    std::vector<std::string> keywords;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            keywords.emplace_back(bytes.substr(start));
            break;
        }
        keywords.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
    return keywords;
}

std::string FormatKeywordFile(const std::vector<std::string>& keywords)
{
    std::size_t size = 0;
    for (const std::string& keyword : keywords)
        size += keyword.size() + 2;
    std::string bytes;
    bytes.reserve(size);
    for (const std::string& keyword : keywords) {
        bytes += keyword;
        bytes += "\r\n";
    }
    return bytes;
}

} // namespace keywords

namespace keywords {

KeywordFile ReadKeywordFile(std::string_view bytes)
{
    KeywordFile file;
    file.encoding = DetectEncoding(bytes);
    if (file.encoding.bom)
        bytes.remove_prefix(kUtf8Bom.size());
    file.keywords = ParseKeywordFile(bytes);
    return file;
}

std::string WriteKeywordFile(const std::vector<std::string>& keywords, FileEncoding encoding)
{
    if (!encoding.bom)
        return FormatKeywordFile(keywords);
    return std::string(kUtf8Bom) + FormatKeywordFile(keywords);
}

} // namespace keywords
