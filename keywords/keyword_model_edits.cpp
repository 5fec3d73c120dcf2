// The list's own changes: add, label edit, move and remove, each made to the rows, the index
// and the document together.
#include "keywords/keyword_model.h"

#include "keywords/keyword_text.h"
#include "keywords/vistrel_doc.h"

#include <utility>

namespace keywords {

namespace {

EditResult Refused(QString text)
{
    return {EditResult::Outcome::Refused, std::move(text)};
}

// What the document's refusal of an index out of range shows.
EditResult InvalidArgument()
{
    const std::string_view text = CVistrelDoc::kInvalidArgumentText;
    return Refused(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

} // namespace

int KeywordModel::FindShown(const QString& text, int skipRow) const
{
    for (std::size_t row = 0; row < m_states.size(); ++row) {
        if (static_cast<int>(row) != skipRow && SameShownText(m_states[row].shown, text))
            return static_cast<int>(row);
    }
    return -1;
}

EditResult KeywordModel::AddKeyword()
{
    const QString name =
        NewKeywordName([this](const QString& text) { return FindShown(text) >= 0; });
    platform::Result<std::string> bytes = TypedKeyword(name, Encoding());
    if (!bytes)
        return Refused(QString::fromStdString(bytes.error));
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    m_states.push_back({ShownText(bytes.value, Encoding()), {}, {}});
    m_index.Insert(row, bytes.value);
    m_doc.AddKeyword(std::move(bytes.value));
    endInsertRows();
    m_doc.SetModifiedFlag();
    return {EditResult::Outcome::Taken, {}};
}

EditResult KeywordModel::Rename(int row, const QString& text)
{
    // An unchanged label stores nothing, also when its bytes show as U+FFFD.
    if (!IsRow(row) || text.isEmpty() || text == m_states[static_cast<std::size_t>(row)].shown)
        return {};
    if (HasLineBreak(text))
        return Refused(kLineBreakText + QLatin1Char('\n') + kChooseAnotherText);
    // A code page 932 document refuses what the code page cannot hold; a UTF-8 one takes any
    // text, and a keyword the code page lacks fails only its own search.
    platform::Result<std::string> bytes = TypedKeyword(text, Encoding());
    if (!bytes)
        return Refused(QString::fromStdString(bytes.error) + QLatin1Char('\n') +
                       kChooseAnotherText);
    QString shown = ShownText(bytes.value, Encoding());
    // The row itself is left out, so a change of letter case alone is taken.
    if (FindShown(shown, row) >= 0)
        return Refused(kDuplicateKeywordText);
    const std::string* before = KeywordAt(row);
    if (before && *before == bytes.value)
        return {};
    const std::string previous = before ? *before : std::string();
    if (!m_doc.SetKeyword(row, bytes.value))
        return InvalidArgument();
    m_index.Replace(row, previous, bytes.value);
    m_states[static_cast<std::size_t>(row)].shown = std::move(shown);
    m_doc.SetModifiedFlag();
    RowChanged(row);
    return {EditResult::Outcome::Taken, {}};
}

bool KeywordModel::MoveRow(int from, int to)
{
    if (!KeywordAt(from) || !KeywordAt(to) || from == to)
        return false;
    // Qt counts the destination before the row leaves its place.
    if (!beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to))
        return false;
    std::string keyword = *KeywordAt(from);
    // Both indexes are in the document's range, so neither operation is refused.
    static_cast<void>(m_doc.RemoveKeyword(from) && m_doc.InsertKeyword(to, keyword));
    RowState state = std::move(m_states[static_cast<std::size_t>(from)]);
    m_states.erase(m_states.begin() + from);
    m_states.insert(m_states.begin() + to, std::move(state));
    m_index.Erase(from, std::span(&keyword, 1));
    m_index.Insert(to, keyword);
    endMoveRows();
    m_doc.SetModifiedFlag();
    return true;
}

bool KeywordModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || count < 1 || count > rowCount() - row ||
        row + count > m_doc.GetKeywordCount())
        return false;
    const std::vector<std::string>& keywords = m_doc.GetKeywords();
    const std::vector<std::string> removed(keywords.begin() + row, keywords.begin() + row + count);
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    // From the last, so that every index stays that row's index in the document.
    for (int i = row + count - 1; i >= row; --i)
        static_cast<void>(m_doc.RemoveKeyword(i));
    m_states.erase(m_states.begin() + row, m_states.begin() + row + count);
    m_index.Erase(row, removed);
    endRemoveRows();
    m_doc.SetModifiedFlag();
    return true;
}

} // namespace keywords
