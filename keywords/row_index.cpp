#include "keywords/row_index.h"

#include <algorithm>

namespace keywords {

void RowIndex::Reset(std::span<const std::string> texts)
{
    m_rows.clear();
    m_rowCount = 0;
    for (const std::string& text : texts)
        Add(m_rowCount++, text);
}

void RowIndex::Insert(int row, const std::string& text)
{
    // Rows added at the end, as the add command adds them, move nothing.
    if (row < m_rowCount)
        Shift(row, 1);
    ++m_rowCount;
    Add(row, text);
}

void RowIndex::Erase(int first, std::span<const std::string> texts)
{
    const int count = static_cast<int>(texts.size());
    for (int i = 0; i < count; ++i)
        Drop(first + i, texts[static_cast<std::size_t>(i)]);
    m_rowCount -= count;
    if (first < m_rowCount)
        Shift(first + count, -count);
}

void RowIndex::Replace(int row, const std::string& before, const std::string& after)
{
    if (before == after)
        return;
    Drop(row, before);
    Add(row, after);
}

int RowIndex::First(std::string_view text) const
{
    const auto found = m_rows.find(text);
    return found == m_rows.end() ? -1 : found->second.front();
}

void RowIndex::Add(int row, const std::string& text)
{
    std::vector<int>& rows = m_rows[text];
    rows.insert(std::lower_bound(rows.begin(), rows.end(), row), row);
}

void RowIndex::Drop(int row, const std::string& text)
{
    const auto found = m_rows.find(text);
    if (found == m_rows.end())
        return;
    std::vector<int>& rows = found->second;
    const auto at = std::lower_bound(rows.begin(), rows.end(), row);
    if (at != rows.end() && *at == row)
        rows.erase(at);
    if (rows.empty())
        m_rows.erase(found);
}

void RowIndex::Shift(int from, int by)
{
    for (auto& [text, rows] : m_rows) {
        for (auto at = std::lower_bound(rows.begin(), rows.end(), from); at != rows.end(); ++at)
            *at += by;
    }
}

} // namespace keywords
