#include "keywords/view/vistrel_view.h"

#include "keywords/keyword_model.h"

#include <utility>

bool CVistrelView::IsEditingLabel() const
{
    return m_editor != nullptr && state() == EditingState;
}

bool CVistrelView::FinishLabelEdit()
{
    // A refusal still waiting for the event loop counts too: its text was not taken.
    if (!IsEditingLabel())
        return !ShowRefusal();
    QWidget* editor = m_editor;
    m_finishingEdit = true;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    m_finishingEdit = false;
    return !ShowRefusal();
}

void CVistrelView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTreeView::closeEditor(editor, hint);
    // The editor may be closing because the focus left it; a message box now would move the
    // focus again in the middle of that, so the refusal waits for the event loop.
    if (m_refusal && !m_finishingEdit)
        QMetaObject::invokeMethod(
            this, [this] { ShowRefusal(); }, Qt::QueuedConnection);
}

bool CVistrelView::ShowRefusal()
{
    if (!m_refusal)
        return false;
    const Refusal refusal = std::move(*m_refusal);
    m_refusal.reset();
    ShowStop(refusal.text);
    // The row may have gone while the message waited; another edit may have begun.
    if (refusal.index.isValid() && !IsEditingLabel())
        edit(refusal.index);
    return true;
}

void CVistrelView::OnEndLabelEdit(const QModelIndex& index, const QString& text)
{
    if (!m_model || !index.isValid() || index.column() != keywords::KeywordModel::KeywordColumn)
        return;
    keywords::EditResult result = m_model->Rename(index.row(), text);
    if (result.outcome == keywords::EditResult::Outcome::Refused)
        m_refusal = Refusal{index, std::move(result.refusal)};
}
