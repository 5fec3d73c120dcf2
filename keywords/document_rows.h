#pragma once

#include "keywords/keyword_rows.h"
#include "keywords/row_index.h"

#include <optional>
#include <string>
#include <vector>

class CVistrelDoc;

namespace keywords {

// The rows of a document without a view (batch mode): row i is keyword i of the document,
// and the marks are kept here, beside the document, as the window's keyword model keeps
// them beside its rows. Nothing edits the document while these rows are in use, so a
// keyword's first row comes from an index built on the first lookup rather than from a walk
// over the rows at the end of every job.
class DocumentRows : public IKeywordRows
{
public:
    struct Mark
    {
        std::string mark;   // "", "OK" or "NG"
        std::string reason; // UTF-8; why an "NG", or what an "OK" page gave
    };

    explicit DocumentRows(const CVistrelDoc& doc)
        : m_doc(doc)
    {}

    std::ptrdiff_t GetRowCount() const override;
    std::string GetRowText(std::ptrdiff_t row) const override;
    bool IsRowText(std::ptrdiff_t row, std::string_view text) const override;
    // In the document's encoding: a keyword of a file read as UTF-8 is converted, or fails.
    platform::Result<std::string> GetRowSearchText(std::ptrdiff_t row) const override;
    std::string ToUtf8(std::string_view rowText) const override;
    void SetRowMark(std::ptrdiff_t row, std::string_view mark, std::string_view reason) override;
    std::ptrdiff_t FirstRowOf(std::string_view text) const override;

    // The mark of a row; empty for a row never marked or out of range.
    Mark GetRowMark(std::ptrdiff_t row) const;

private:
    const CVistrelDoc& m_doc;
    std::vector<Mark> m_marks;               // grows to the highest row marked
    mutable std::optional<RowIndex> m_index; // built on the first lookup
};

} // namespace keywords
