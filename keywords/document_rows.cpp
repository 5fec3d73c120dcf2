#include "keywords/document_rows.h"

#include "keywords/vistrel_doc.h"

namespace keywords {

std::ptrdiff_t DocumentRows::GetRowCount() const
{
    return m_doc.GetKeywordCount();
}

std::string DocumentRows::GetRowText(std::ptrdiff_t row) const
{
    return m_doc.GetKeyword(row).value_or(std::string());
}

bool DocumentRows::IsRowText(std::ptrdiff_t row, std::string_view text) const
{
    if (row < 0 || row >= GetRowCount())
        return text.empty();
    return m_doc.GetKeywords()[static_cast<std::size_t>(row)] == text;
}

platform::Result<std::string> DocumentRows::GetRowSearchText(std::ptrdiff_t row) const
{
    return KeywordSearchText(GetRowText(row), m_doc.GetEncoding().text);
}

std::string DocumentRows::ToUtf8(std::string_view rowText) const
{
    return KeywordToUtf8(rowText, m_doc.GetEncoding().text);
}

void DocumentRows::SetRowMark(std::ptrdiff_t row, std::string_view mark, std::string_view reason)
{
    if (row < 0 || row >= GetRowCount())
        return;
    if (static_cast<std::size_t>(row) >= m_marks.size())
        m_marks.resize(static_cast<std::size_t>(row) + 1);
    m_marks[row] = {std::string(mark), std::string(reason)};
}

std::ptrdiff_t DocumentRows::FirstRowOf(std::string_view text) const
{
    if (!m_index) {
        m_index.emplace();
        m_index->Reset(m_doc.GetKeywords());
    }
    return m_index->First(text);
}

DocumentRows::Mark DocumentRows::GetRowMark(std::ptrdiff_t row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_marks.size() || row >= GetRowCount())
        return {};
    return m_marks[row];
}

} // namespace keywords
