// Reading a keyword file: the input is the file. Any bytes must open, and give the keywords
// of a plain model: a UTF-8 byte order mark at the start is no part of them, CR LF, LF and a
// lone CR each end a line, the last line needs no line end. What is saved from them must read
// back the same, in the same encoding.
#include "fuzz/fuzz_support.h"
#include "keywords/keyword_file.h"
#include "keywords/vistrel_doc.h"

#include <cstddef>
#include <cstdint>

namespace {

std::vector<std::string> ModelKeywords(std::string_view bytes)
{
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue; // the LF that follows ends the line
        text += bytes[i] == '\r' ? '\n' : bytes[i];
    }
    std::vector<std::string> keywords;
    std::size_t start = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string::npos; lf = text.find('\n', start)) {
        keywords.push_back(text.substr(start, lf - start));
        start = lf + 1;
    }
    if (start < text.size())
        keywords.push_back(text.substr(start));
    return keywords;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzz::WriteScratchFile("keywords.txt", bytes);

    CVistrelDoc doc;
    doc.m_arrKeywords = {"from before"};
    doc.SetModifiedFlag();
    FUZZ_CHECK(doc.OnOpenDocument(path));
    FUZZ_CHECK(!doc.IsModified());
    FUZZ_CHECK(doc.GetPathName() == path);
    const bool bom = bytes.starts_with(keywords::kUtf8Bom);
    FUZZ_CHECK(doc.GetEncoding().bom == bom);
    FUZZ_CHECK(doc.m_arrKeywords == ModelKeywords(bom ? bytes.substr(3) : bytes));

    const std::string saved = keywords::WriteKeywordFile(doc.m_arrKeywords, doc.GetEncoding());
    const keywords::KeywordFile again = keywords::ReadKeywordFile(saved);
    FUZZ_CHECK(again.keywords == doc.m_arrKeywords);
    FUZZ_CHECK(again.encoding == doc.GetEncoding());
    return 0;
}
