#pragma once

#include "keywords/vistrel_doc.h"
#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// Makes keywords the document's whole list through its list operations; leaves the modified
// flag as it was.
inline void SetKeywords(CVistrelDoc& doc, const std::vector<std::string>& keywords)
{
    while (doc.GetKeywordCount() > 0)
        static_cast<void>(doc.RemoveKeyword(doc.GetKeywordCount() - 1));
    for (const std::string& keyword : keywords)
        doc.AddKeyword(keyword);
}

// Code page 932 bytes of a "|"-separated list of UTF-8 texts ("" gives none).
inline std::vector<std::string> Cp932List(std::string_view utf8List)
{
    std::vector<std::string> texts;
    if (utf8List.empty())
        return texts;
    for (;;) {
        const std::string_view text = utf8List.substr(0, utf8List.find('|'));
        platform::Result<std::string> bytes = platform::Utf8ToCp932(text);
        EXPECT_TRUE(bytes) << text;
        texts.push_back(bytes.value);
        if (text.size() == utf8List.size())
            return texts;
        utf8List.remove_prefix(text.size() + 1);
    }
}

} // namespace testing_support
