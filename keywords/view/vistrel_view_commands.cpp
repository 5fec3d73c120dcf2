#include "keywords/view/vistrel_view.h"

#include "keywords/view/keyword_text.h"
#include "keywords/vistrel_doc.h"
#include "platform/cp932.h"

#include <algorithm>

void CVistrelView::OnAddKeyword()
{
    if (!m_pDocument || !FinishLabelEdit())
        return;
    const QString name =
        keywords::NewKeywordName([this](const QString& text) { return FindRow(text, -1) >= 0; });
    platform::Result<std::string> bytes = keywords::TypedKeyword(name, Encoding());
    if (!bytes) {
        ShowStop(QString::fromStdString(bytes.error));
        return;
    }
    QTreeWidgetItem* item = MakeRow(bytes.value);
    addTopLevelItem(item);
    m_pDocument->AddKeyword(std::move(bytes.value));
    m_pDocument->SetModifiedFlag();
    scrollToItem(item);
    editItem(item, 0);
}

void CVistrelView::OnDeleteKeyword()
{
    if (!m_pDocument || !FinishLabelEdit())
        return;
    // From the bottom up, so every index stays the row's index in list and document alike.
    const std::vector<int> rows = SelectedRows();
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (!m_pDocument->RemoveKeyword(*row)) {
            ShowStop(InvalidArgumentText());
            return;
        }
        delete takeTopLevelItem(*row);
        m_pDocument->SetModifiedFlag();
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
    if (!m_pDocument || !(step < 0 ? OnUpdateMoveUp() : OnUpdateMoveDown()) || !FinishLabelEdit())
        return;
    const int from = SelectedRows().front();
    const int to = from + step;
    const std::optional<std::string> keyword = m_pDocument->GetKeyword(from);
    if (!keyword || !m_pDocument->RemoveKeyword(from) ||
        !m_pDocument->InsertKeyword(to, *keyword)) {
        ShowStop(InvalidArgumentText());
        return;
    }
    // The item moves whole: keyword bytes, mark and reason, never cut.
    QTreeWidgetItem* item = takeTopLevelItem(from);
    insertTopLevelItem(to, item);
    setCurrentItem(item);
    scrollToItem(item);
    m_pDocument->SetModifiedFlag();
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
    return rows.size() == 1 && rows.front() < topLevelItemCount() - 1;
}

std::vector<int> CVistrelView::SelectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        if (!index.parent().isValid())
            rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int CVistrelView::FindRow(const QString& text, int skipRow) const
{
    for (int row = 0; row < topLevelItemCount(); ++row) {
        if (row != skipRow && keywords::SameShownText(topLevelItem(row)->text(0), text))
            return row;
    }
    return -1;
}
