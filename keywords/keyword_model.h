#pragma once

#include "keywords/keyword_encoding.h"
#include "keywords/keyword_rows.h"
#include "keywords/row_index.h"

#include <QAbstractTableModel>
#include <QString>

#include <vector>

class CVistrelDoc;

namespace keywords {

// What became of an edit of the list: taken, nothing to do, or refused with the text the user
// is shown.
struct EditResult
{
    enum class Outcome { Taken, Unchanged, Refused };

    Outcome outcome = Outcome::Unchanged;
    QString refusal;
};

// The keyword list over the document: row i is keyword i, column 0 the keyword as its
// document's encoding shows it, column 1 the mark of the latest search run with, as the
// rows' tool tip, why it failed. The document holds the keywords and this model is the one
// that changes them in the window: each change goes to the document and is announced to the
// views, and marks the document modified. Marks belong to the rows, never to the document.
// It is also the rows a run reads and marks, and keeps an index of the rows by keyword so
// that marking a row costs the same in a long list as in a short one.
class KeywordModel : public QAbstractTableModel, public IKeywordRows
{
    Q_OBJECT
public:
    enum Column { KeywordColumn = 0, StatusColumn = 1 };
    // Column 0: the keyword's own bytes (QByteArray), which its shown text may not keep.
    static constexpr int BytesRole = Qt::UserRole;
    // Column 1: why the row's latest job failed (QString).
    static constexpr int ReasonRole = Qt::UserRole + 1;

    explicit KeywordModel(CVistrelDoc& doc, QObject* parent = nullptr);
    ~KeywordModel() override;

    // Rows anew from the document (after New and Open), with no marks.
    void Reload();

    // The add command: appends "新規ｷｰﾜｰﾄﾞ", or the first of "新規ｷｰﾜｰﾄﾞ (2)", "(3)", ... that no
    // row shows, to the rows and the document. Taken: the new row is the last.
    EditResult AddKeyword();
    // A label edit of row: taken unless it holds a line break, cannot be written in the
    // document's encoding, or shows as another row does (letter case aside). Empty text and
    // the row's own text change nothing.
    EditResult Rename(int row, const QString& text);
    // Moves row from to row to, with its mark. False, changing nothing, for a row out of range
    // (in the rows or the document).
    bool MoveRow(int from, int to);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Removes rows row .. row + count - 1 from the rows and the document; false, changing
    // nothing, when any of them is out of range.
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

    // IKeywordRows, for the search run.
    std::ptrdiff_t GetRowCount() const override;
    std::string GetRowText(std::ptrdiff_t row) const override;
    bool IsRowText(std::ptrdiff_t row, std::string_view text) const override;
    std::ptrdiff_t FirstRowOf(std::string_view text) const override;
    // In the document's encoding: a keyword of a file read as UTF-8 is converted, or fails.
    platform::Result<std::string> GetRowSearchText(std::ptrdiff_t row) const override;
    std::string ToUtf8(std::string_view rowText) const override;
    void SetRowMark(std::ptrdiff_t row, std::string_view mark, std::string_view reason) override;

private:
    // What a row shows beside its keyword's bytes, which stay in the document.
    struct RowState
    {
        QString shown;
        QString mark;
        QString reason;
    };

    TextEncoding Encoding() const;
    // The first row, other than skipRow, that shows text, letter case aside; -1 for none.
    int FindShown(const QString& text, int skipRow = -1) const;
    // The keyword of a row the document has; null for one it lacks.
    const std::string* KeywordAt(std::ptrdiff_t row) const;
    bool IsRow(std::ptrdiff_t row) const;
    // Announces that what row shows, in both columns, has changed.
    void RowChanged(int row);

    CVistrelDoc& m_doc;
    std::vector<RowState> m_states; // one per row
    RowIndex m_index;
};

} // namespace keywords
