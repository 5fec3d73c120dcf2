#pragma once

#include "keywords/keyword_rows.h"

#include <string>
#include <vector>

class CVistrelDoc;

namespace keywords {

// The rows of a document without a view (batch mode): row i is keyword i of the document,
// and the marks are kept here, beside the document, as the view keeps them beside its rows.
class CDocumentRows : public IKeywordRows
{
public:
    struct CMark
    {
        std::string mark;   // "", "OK" or "NG"
        std::string reason; // UTF-8; why an "NG"
    };

    explicit CDocumentRows(const CVistrelDoc& doc)
        : m_doc(doc)
    {}

    std::ptrdiff_t GetRowCount() const override;
    std::string GetRowText(std::ptrdiff_t row) const override;
    bool IsRowText(std::ptrdiff_t row, std::string_view text) const override;
    // In the document's encoding: a keyword of a file read as UTF-8 is converted, or fails.
    platform::Result<std::string> GetRowSearchText(std::ptrdiff_t row) const override;
    std::string ToUtf8(std::string_view rowText) const override;
    void SetRowMark(std::ptrdiff_t row, std::string_view mark, std::string_view reason) override;

    // The mark of a row; empty for a row never marked or out of range.
    CMark GetRowMark(std::ptrdiff_t row) const;

private:
    const CVistrelDoc& m_doc;
    std::vector<CMark> m_marks; // grows to the highest row marked
};

} // namespace keywords
