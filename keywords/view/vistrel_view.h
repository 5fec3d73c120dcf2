#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QTreeView>

#include <functional>
#include <optional>
#include <vector>

namespace keywords {
class KeywordModel;
}

// The keyword list: shows the keyword model (column 0 the keyword, column 1 the mark of the
// latest search run) and edits it through its commands and the in-place editor. The model
// makes every change, to the document too; the view only keeps what belongs to the screen:
// the selection, the editor and a refused edit waiting to be shown.
class CVistrelView : public QTreeView
{
    Q_OBJECT
public:
    // Shows a message with the stop icon (the duplicate-keyword and cannot-encode refusals);
    // the window puts up a message box, tests record the text.
    using StopMessage = std::function<void(const QString& text)>;

    explicit CVistrelView(QWidget* parent = nullptr);
    ~CVistrelView() override;

    // Shows model, which outlives the view.
    void SetKeywordModel(keywords::KeywordModel* model);
    keywords::KeywordModel* GetKeywordModel() const;
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
    // F2: opens the in-place editor on the current keyword when its row is selected.
    void OnRenameKeyword();
    bool OnUpdateRenameKeyword() const;
    bool OnUpdateDeleteKeyword() const;
    bool OnUpdateMoveUp() const;
    bool OnUpdateMoveDown() const;

    // True while the in-place editor is open on a row.
    bool IsEditingLabel() const;
    // Ends an open in-place edit as if the user confirmed it. False when the text was refused:
    // the refusal has been shown and the editor reopened on that row.
    bool FinishLabelEdit();

    // The model's rows were rebuilt: no selection, no editor, no refusal waiting.
    void reset() override;

protected:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusOutEvent(QFocusEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // A label edit the model did not take: shown, then the editor reopens on its row, once the
    // editor that carried it has closed.
    struct Refusal
    {
        QPersistentModelIndex index;
        QString text;
    };

    std::vector<int> SelectedRows() const;
    void MoveSelectedRow(int step);
    void OnEndLabelEdit(const QModelIndex& index, const QString& text);
    bool ShowRefusal();
    void ShowStop(const QString& text) const;

    // True after an item change that left a row selected, until one that leaves none or until
    // the view loses the keyboard focus (to its own editor too); the rows still highlighted
    // when it gets the focus back count again.
    bool m_bHasSelection = false;
    QPointer<keywords::KeywordModel> m_model;
    StopMessage m_showStop;
    QPointer<QWidget> m_editor;
    std::optional<Refusal> m_refusal;
    bool m_finishingEdit = false;
};
