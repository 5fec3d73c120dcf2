#include "keywords/document_rows.h"

#include "keywords/vistrel_doc.h"

namespace keywords {

std::ptrdiff_t CDocumentRows::GetRowCount() const
{
    return m_doc.GetKeywordCount();
}

std::string CDocumentRows::GetRowText(std::ptrdiff_t row) const
{
    return m_doc.GetKeyword(row).value_or(std::string());
}

bool CDocumentRows::IsRowText(std::ptrdiff_t row, std::string_view text) const
{
    if (row < 0 || row >= GetRowCount())
        return text.empty();
    return m_doc.m_arrKeywords[static_cast<std::size_t>(row)] == text;
}

platform::Result<std::string> CDocumentRows::GetRowSearchText(std::ptrdiff_t row) const
{
    return KeywordSearchText(GetRowText(row), m_doc.GetEncoding().text);
}

std::string CDocumentRows::ToUtf8(std::string_view rowText) const
{
    return KeywordToUtf8(rowText, m_doc.GetEncoding().text);
}

void CDocumentRows::SetRowMark(std::ptrdiff_t row, std::string_view mark, std::string_view reason)
{
    if (row < 0 || row >= GetRowCount())
        return;
    if (static_cast<std::size_t>(row) >= m_marks.size())
        m_marks.resize(static_cast<std::size_t>(row) + 1);
    m_marks[row] = {std::string(mark), std::string(reason)};
}

CDocumentRows::CMark CDocumentRows::GetRowMark(std::ptrdiff_t row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_marks.size() || row >= GetRowCount())
        return {};
    return m_marks[row];
}

} // namespace keywords
