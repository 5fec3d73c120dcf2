#pragma once

#include "platform/cp932.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace keywords {

// The rows a search run reads and marks: the keyword list's model in the window, the document
// itself in batch mode. Column 0 is the keyword, its bytes exactly as stored (code page 932, or
// UTF-8 for a keyword file read as UTF-8); column 1 is the mark of the latest run.
class IKeywordRows
{
public:
    virtual ~IKeywordRows() = default;

    virtual std::ptrdiff_t GetRowCount() const = 0;
    // The whole column-0 text of a row; empty for a row out of range.
    virtual std::string GetRowText(std::ptrdiff_t row) const = 0;
    // GetRowText(row) == text, without making a copy of the row's text.
    virtual bool IsRowText(std::ptrdiff_t row, std::string_view text) const
    {
        return GetRowText(row) == text;
    }
    // The first row, in row order, whose text is text (bytes compared exactly); -1 for none.
    // A run asks this for every job that ends, so rows kept in a list of their own answer it
    // from an index rather than by this walk.
    virtual std::ptrdiff_t FirstRowOf(std::string_view text) const
    {
        for (std::ptrdiff_t row = 0; row < GetRowCount(); ++row) {
            if (IsRowText(row, text))
                return row;
        }
        return -1;
    }
    // The row's keyword as the plug-in takes it: code page 932 bytes, or why it cannot be
    // (a keyword file read as UTF-8 may hold characters that code page 932 lacks).
    virtual platform::Result<std::string> GetRowSearchText(std::ptrdiff_t row) const
    {
        return GetRowText(row);
    }
    // A row's text as UTF-8, for people (the terminal, messages).
    virtual std::string ToUtf8(std::string_view rowText) const
    {
        return platform::Cp932ToUtf8(rowText);
    }
    // Sets column 1 of a row: "", "OK" or "NG". reason (UTF-8) is shown beside the mark (the
    // row's tool tip): for "NG" why the job failed, for "OK" what its page gave the result
    // page ("42 件 (新着 3 件)") once the plug-in has told; empty for none. Out of range: ignored.
    virtual void SetRowMark(std::ptrdiff_t row, std::string_view mark, std::string_view reason) = 0;
};

} // namespace keywords
