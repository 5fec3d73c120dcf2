#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace keywords {

// The rows of a list by their text, so that the first row holding a text is found at once
// rather than by walking the list: a run asks for it at the end of every job. Its owner tells
// it of every change to the rows as it makes it. Changes that shift rows cost a pass over
// the index; a lookup or an edit in place costs about as much as hashing the text.
class RowIndex
{
public:
    // The rows are texts, in row order.
    void Reset(std::span<const std::string> texts);
    // A row holding text comes in at row; the rows from there on move down by one.
    void Insert(int row, const std::string& text);
    // The rows first .. first + texts.size() - 1, which held texts, go; those after them move
    // up.
    void Erase(int first, std::span<const std::string> texts);
    // The text of row was before and is now after.
    void Replace(int row, const std::string& before, const std::string& after);

    // The first row in row order whose text is text (bytes compared exactly); -1 for none.
    int First(std::string_view text) const;
    int GetRowCount() const { return m_rowCount; }

private:
    struct Hash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const
        {
            return std::hash<std::string_view>{}(text);
        }
    };

    void Add(int row, const std::string& text);
    void Drop(int row, const std::string& text);
    // Adds by to every row number from on.
    void Shift(int from, int by);

    // Each text's rows, ascending; a text no row holds has no entry.
    std::unordered_map<std::string, std::vector<int>, Hash, std::equal_to<>> m_rows;
    int m_rowCount = 0;
};

} // namespace keywords
