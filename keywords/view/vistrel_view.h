#pragma once

#include "keywords/keyword_encoding.h"
#include "keywords/keyword_rows.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QTreeWidget>

#include <functional>
#include <optional>
#include <vector>

class CVistrelDoc;

// The keyword list: one row per keyword of the document, column 0 the keyword, column 1 the
// mark of the latest search run. Every change is made to the row and to the document's
// keyword array together, and marks the document modified. Keyword bytes are in the
// document's encoding (code page 932, or UTF-8 for a file read as UTF-8); they are converted
// for display only and never altered unless the user edits that row.
class CVistrelView : public QTreeWidget, public keywords::IKeywordRows
{
    Q_OBJECT
public:
    // Shows a message with the stop icon (the duplicate-keyword and cannot-encode refusals);
    // the window puts up a message box, tests record the text.
    using StopMessage = std::function<void(const QString& text)>;

    explicit CVistrelView(QWidget* parent = nullptr);
    ~CVistrelView() override;

    // Links the document and shows its keywords (as OnInitialUpdate does).
    void SetDocument(CVistrelDoc* pDoc);
    CVistrelDoc* GetDocument() const { return m_pDocument; }
    void SetStopMessage(StopMessage show);

    // Rebuilds the rows from the document (after New and Open): empty marks, no selection.
    // An open in-place editor is closed without storing its text.
    void OnInitialUpdate();

    // Commands of the "編集" menu and their enabling rules. Each command first ends an open
    // in-place edit as if confirmed; when that text is refused the command does nothing more.
    void OnAddKeyword();
    void OnDeleteKeyword();
    void OnMoveUp();
    void OnMoveDown();
    bool OnUpdateDeleteKeyword() const;
    bool OnUpdateMoveUp() const;
    bool OnUpdateMoveDown() const;

    // True while the in-place editor is open on a row.
    bool IsEditingLabel() const;
    // Ends an open in-place edit as if the user confirmed it. False when the text was refused:
    // the refusal has been shown and the editor reopened on that row.
    bool FinishLabelEdit();

    // keywords::IKeywordRows, for the search run.
    std::ptrdiff_t GetRowCount() const override;
    std::string GetRowText(std::ptrdiff_t row) const override;
    bool IsRowText(std::ptrdiff_t row, std::string_view text) const override;
    void SetRowMark(std::ptrdiff_t row, std::string_view mark, std::string_view reason) override;
    // In the document's encoding: a keyword of a file read as UTF-8 is converted, or fails.
    platform::Result<std::string> GetRowSearchText(std::ptrdiff_t row) const override;
    std::string ToUtf8(std::string_view rowText) const override;

protected:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // A label edit the view did not take: shown, then the editor reopens on its row, once the
    // editor that carried it has closed.
    struct Refusal
    {
        QPersistentModelIndex index;
        QString text;
    };

    // The document's encoding; code page 932 without a document.
    keywords::TextEncoding Encoding() const;
    QTreeWidgetItem* MakeRow(const std::string& bytes) const;
    void SetRowKeyword(QTreeWidgetItem* item, const std::string& bytes) const;
    static void ShowKeywordTip(QTreeWidgetItem* item);
    // The first row, other than skipRow, whose keyword shows as text (letter case ignored).
    int FindRow(const QString& text, int skipRow) const;
    std::vector<int> SelectedRows() const;
    void MoveSelectedRow(int step);
    void OnEndLabelEdit(const QModelIndex& index, const QString& text);
    bool ShowRefusal();
    void ShowStop(const QString& text) const;
    // What the document's refusal of an index out of range shows.
    static QString InvalidArgumentText();

    // True after an item change that left a row selected, until one that leaves none or until
    // the view loses the keyboard focus (to its own editor too).
    bool m_bHasSelection = false;
    CVistrelDoc* m_pDocument = nullptr;
    StopMessage m_showStop;
    QPointer<QWidget> m_pEditor;
    std::optional<Refusal> m_refusal;
    bool m_bFinishingEdit = false;
};
