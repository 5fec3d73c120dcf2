#include "keywords/keyword_model.h"

#include "keywords/keyword_text.h"
#include "keywords/vistrel_doc.h"

namespace keywords {

namespace {

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

KeywordModel::KeywordModel(CVistrelDoc& doc, QObject* parent)
    : QAbstractTableModel(parent)
    , m_doc(doc)
{
    Reload();
}

KeywordModel::~KeywordModel() = default;

void KeywordModel::Reload()
{
    beginResetModel();
    const std::vector<std::string>& keywords = m_doc.GetKeywords();
    m_states.clear();
    m_states.reserve(keywords.size());
    for (const std::string& keyword : keywords)
        m_states.push_back({ShownText(keyword, Encoding()), {}, {}});
    m_index.Reset(keywords);
    endResetModel();
}

TextEncoding KeywordModel::Encoding() const
{
    return m_doc.GetEncoding().text;
}

bool KeywordModel::IsRow(std::ptrdiff_t row) const
{
    return row >= 0 && row < std::ssize(m_states);
}

const std::string* KeywordModel::KeywordAt(std::ptrdiff_t row) const
{
    const std::vector<std::string>& keywords = m_doc.GetKeywords();
    if (!IsRow(row) || row >= std::ssize(keywords))
        return nullptr;
    return &keywords[static_cast<std::size_t>(row)];
}

int KeywordModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_states.size());
}

int KeywordModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant KeywordModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::ParentIsInvalid))
        return {};
    const RowState& state = m_states[static_cast<std::size_t>(index.row())];
    const bool keyword = index.column() == KeywordColumn;
    switch (role) {
    case Qt::DisplayRole:
        return keyword ? state.shown : state.mark;
    case Qt::EditRole:
        return keyword ? QVariant(state.shown) : QVariant();
    case Qt::ToolTipRole:
        // Why the row's job failed, else the whole keyword (a wide one may be cut off), with
        // what its page gave when the plug-in told that.
        if (state.reason.isEmpty())
            return state.shown;
        return state.mark == QLatin1String("OK") ? state.shown + QLatin1Char('\n') + state.reason
                                                 : state.reason;
    case BytesRole: {
        const std::string* bytes = keyword ? KeywordAt(index.row()) : nullptr;
        return bytes ? QVariant(QByteArray::fromStdString(*bytes)) : QVariant();
    }
    case ReasonRole:
        return keyword ? QVariant() : QVariant(state.reason);
    default:
        return {};
    }
}

QVariant KeywordModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == KeywordColumn)
        return kKeywordColumnTitle;
    if (section == StatusColumn)
        return kStatusColumnTitle;
    return {};
}

Qt::ItemFlags KeywordModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::ParentIsInvalid))
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (index.column() == KeywordColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

void KeywordModel::RowChanged(int row)
{
    emit dataChanged(index(row, KeywordColumn), index(row, StatusColumn));
}

std::ptrdiff_t KeywordModel::GetRowCount() const
{
    return std::ssize(m_states);
}

std::string KeywordModel::GetRowText(std::ptrdiff_t row) const
{
    const std::string* keyword = KeywordAt(row);
    return keyword ? *keyword : std::string();
}

bool KeywordModel::IsRowText(std::ptrdiff_t row, std::string_view text) const
{
    const std::string* keyword = KeywordAt(row);
    return keyword ? *keyword == text : text.empty();
}

std::ptrdiff_t KeywordModel::FirstRowOf(std::string_view text) const
{
    return m_index.First(text);
}

platform::Result<std::string> KeywordModel::GetRowSearchText(std::ptrdiff_t row) const
{
    return KeywordSearchText(GetRowText(row), Encoding());
}

std::string KeywordModel::ToUtf8(std::string_view rowText) const
{
    return KeywordToUtf8(rowText, Encoding());
}

void KeywordModel::SetRowMark(std::ptrdiff_t row, std::string_view mark, std::string_view reason)
{
    if (!IsRow(row))
        return;
    RowState& state = m_states[static_cast<std::size_t>(row)];
    QString newMark = FromUtf8(mark);
    QString newReason = FromUtf8(reason);
    // A run clears every row as it starts; rows with nothing to clear stay quiet.
    if (newMark == state.mark && newReason == state.reason)
        return;
    state.mark = std::move(newMark);
    state.reason = std::move(newReason);
    RowChanged(static_cast<int>(row));
}

} // namespace keywords
