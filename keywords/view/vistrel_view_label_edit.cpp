#include "keywords/view/vistrel_view.h"

#include "keywords/view/keyword_text.h"
#include "keywords/vistrel_doc.h"
#include "platform/cp932.h"

#include <utility>

bool CVistrelView::IsEditingLabel() const
{
    return m_pEditor != nullptr && state() == EditingState;
}

bool CVistrelView::FinishLabelEdit()
{
    // A refusal still waiting for the event loop counts too: its text was not taken.
    if (!IsEditingLabel())
        return !ShowRefusal();
    QWidget* editor = m_pEditor;
    m_bFinishingEdit = true;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    m_bFinishingEdit = false;
    return !ShowRefusal();
}

void CVistrelView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTreeWidget::closeEditor(editor, hint);
    // The editor may be closing because the focus left it; a message box now would move the
    // focus again in the middle of that, so the refusal waits for the event loop.
    if (m_refusal && !m_bFinishingEdit)
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
    QTreeWidgetItem* item = itemFromIndex(index);
    if (!m_pDocument || !item || index.column() != 0 || text.isEmpty())
        return;
    // An unchanged label stores nothing, also when its bytes show as U+FFFD.
    if (text == item->text(0))
        return;
    const int row = indexOfTopLevelItem(item);
    if (keywords::HasLineBreak(text)) {
        m_refusal = Refusal{index, keywords::kLineBreakText + QLatin1Char('\n') +
                                       keywords::kChooseAnotherText};
        return;
    }
    // A code page 932 document refuses what the code page cannot hold; a UTF-8 one takes any
    // text, and a keyword the code page lacks fails only its own search.
    platform::Result<std::string> bytes = keywords::TypedKeyword(text, Encoding());
    if (!bytes) {
        m_refusal = Refusal{index, QString::fromStdString(bytes.error) + QLatin1Char('\n') +
                                       keywords::kChooseAnotherText};
        return;
    }
    // The row itself is left out, so a change of letter case alone is taken.
    if (FindRow(keywords::ShownText(bytes.value, Encoding()), row) >= 0) {
        m_refusal = Refusal{index, keywords::kDuplicateKeywordText};
        return;
    }
    if (bytes.value == GetRowText(row))
        return;
    if (!m_pDocument->SetKeyword(row, bytes.value)) {
        m_refusal = Refusal{index, InvalidArgumentText()};
        return;
    }
    SetRowKeyword(item, bytes.value);
    m_pDocument->SetModifiedFlag();
}
