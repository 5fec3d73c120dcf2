#include "keywords/view/vistrel_view.h"

#include "keywords/keyword_model.h"
#include "keywords/vistrel_doc.h"

#include <algorithm>

namespace {

// What the document's refusal of an index out of range shows.
QString InvalidArgumentText()
{
    const std::string_view text = CVistrelDoc::kInvalidArgumentText;
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void CVistrelView::OnAddKeyword()
{
    if (!m_model || !FinishLabelEdit())
        return;
    const keywords::EditResult added = m_model->AddKeyword();
    if (added.outcome == keywords::EditResult::Outcome::Refused) {
        ShowStop(added.refusal);
        return;
    }
    const QModelIndex row = m_model->index(m_model->rowCount() - 1, 0);
    scrollTo(row);
    edit(row);
}

void CVistrelView::OnDeleteKeyword()
{
    if (!m_model || !FinishLabelEdit())
        return;
    // Runs of adjacent rows go together, from the bottom up, so every index stays the row's
    // index in list and document alike.
    const std::vector<int> rows = SelectedRows();
    for (auto last = rows.rbegin(); last != rows.rend();) {
        auto first = last;
        while (std::next(first) != rows.rend() && *std::next(first) == *first - 1)
            ++first;
        if (!m_model->removeRows(*first, *last - *first + 1)) {
            ShowStop(InvalidArgumentText());
            break;
        }
        last = std::next(first);
    }
    m_bHasSelection = selectionModel()->hasSelection();
}

void CVistrelView::OnMoveUp()
{
    MoveSelectedRow(-1);
}

void CVistrelView::OnMoveDown()
{
    MoveSelectedRow(+1);
}

void CVistrelView::MoveSelectedRow(int step)
{
    if (!m_model || !(step < 0 ? OnUpdateMoveUp() : OnUpdateMoveDown()) || !FinishLabelEdit())
        return;
    const int from = SelectedRows().front();
    const int to = from + step;
    // The row moves whole: keyword bytes, mark and reason, never cut.
    if (!m_model->MoveRow(from, to)) {
        ShowStop(InvalidArgumentText());
        return;
    }
    // Selected alone and current, as the list's own selection would leave it; not left to the
    // modifier keys held meanwhile, with which Ctrl would deselect it.
    const QModelIndex moved = m_model->index(to, 0);
    selectionModel()->setCurrentIndex(moved, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(moved);
}

void CVistrelView::OnRenameKeyword()
{
    if (!OnUpdateRenameKeyword())
        return;
    const QModelIndex current = currentIndex().siblingAtColumn(0);
    scrollTo(current);
    edit(current);
}

bool CVistrelView::OnUpdateRenameKeyword() const
{
    // The editor's own F2 stays with the editor; the current row alone may be unselected
    // after a Ctrl+click, and is then not the one the user means.
    const QModelIndex current = currentIndex();
    return m_model && current.isValid() && !IsEditingLabel() && selectionModel() != nullptr &&
           selectionModel()->isRowSelected(current.row(), current.parent());
}

bool CVistrelView::OnUpdateDeleteKeyword() const
{
    return m_bHasSelection;
}

bool CVistrelView::OnUpdateMoveUp() const
{
    const std::vector<int> rows = SelectedRows();
    return rows.size() == 1 && rows.front() > 0;
}

bool CVistrelView::OnUpdateMoveDown() const
{
    const std::vector<int> rows = SelectedRows();
    return m_model && rows.size() == 1 && rows.front() < m_model->rowCount() - 1;
}

std::vector<int> CVistrelView::SelectedRows() const
{
    std::vector<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}
