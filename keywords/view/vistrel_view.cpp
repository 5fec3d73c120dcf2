#include "keywords/view/vistrel_view.h"

#include "keywords/keyword_model.h"
#include "keywords/view/label_delegate.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QMessageBox>

#include <utility>

CVistrelView::CVistrelView(QWidget* parent)
    : QTreeView(parent)
{
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectRows);
    setEditTriggers(SelectedClicked);

    // The selection stays as plain to see while the toolbar or a dialog has the focus.
    QPalette colours = palette();
    colours.setBrush(QPalette::Inactive, QPalette::Highlight,
                     colours.brush(QPalette::Active, QPalette::Highlight));
    colours.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                     colours.brush(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);

    keywords::LabelDelegate::Hooks hooks;
    hooks.opened = [this](QWidget* editor) { m_editor = editor; };
    hooks.destroyed = [this](QWidget* editor) {
        if (m_editor == editor)
            m_editor = nullptr;
    };
    hooks.confirmed = [this](const QModelIndex& index, const QString& text) {
        OnEndLabelEdit(index, text);
    };
    setItemDelegate(new keywords::LabelDelegate(std::move(hooks), this));

    m_showStop = [this](const QString& text) {
        QMessageBox::critical(window(), QStringLiteral("Vistrel"), text);
    };
}

CVistrelView::~CVistrelView() = default;

void CVistrelView::SetKeywordModel(keywords::KeywordModel* model)
{
    m_model = model;
    setModel(model);
    setColumnWidth(keywords::KeywordModel::KeywordColumn, 200);
    setColumnWidth(keywords::KeywordModel::StatusColumn, 100);
}

keywords::KeywordModel* CVistrelView::GetKeywordModel() const
{
    return m_model;
}

void CVistrelView::SetStopMessage(StopMessage show)
{
    m_showStop = std::move(show);
}

void CVistrelView::ShowStop(const QString& text) const
{
    if (m_showStop)
        m_showStop(text);
}

void CVistrelView::OnInitialUpdate()
{
    if (m_model)
        m_model->Reload(); // the model's reset reaches reset() below
}

void CVistrelView::reset()
{
    // Qt closes an open editor without storing its text and forgets the selection.
    QTreeView::reset();
    m_refusal.reset();
    m_bHasSelection = false;
}

void CVistrelView::selectionChanged(const QItemSelection& selected,
                                    const QItemSelection& deselected)
{
    QTreeView::selectionChanged(selected, deselected);
    m_bHasSelection = selectionModel()->hasSelection();
}

void CVistrelView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    m_bHasSelection = selectionModel()->hasSelection();
}

void CVistrelView::focusOutEvent(QFocusEvent* event)
{
    QTreeView::focusOutEvent(event);
    // An open menu leaves the keyboard focus where it was on the platform this list follows,
    // so a menu must not disable delete on its way to offering it.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::MenuBarFocusReason)
        m_bHasSelection = false;
}

void CVistrelView::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    // Back from the in-place editor (Esc) or another control, the highlighted rows are what
    // the user sees selected: delete must not wait for them to be clicked again.
    m_bHasSelection = selectionModel() != nullptr && selectionModel()->hasSelection();
}
