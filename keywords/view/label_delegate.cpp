#include "keywords/view/label_delegate.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <utility>

namespace keywords {

namespace {

// Marks an editor whose text has been loaded once; later changes of the row (a search run
// marking it) must not overwrite what the user is typing.
constexpr char kLoadedProperty[] = "vistrelLabelLoaded";

} // namespace

LabelDelegate::LabelDelegate(Hooks hooks, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_hooks(std::move(hooks))
{}

QWidget* LabelDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const
{
    if (index.column() != 0)
        return nullptr;
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (editor && m_hooks.opened)
        m_hooks.opened(editor);
    return editor;
}

void LabelDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const
{
    if (m_hooks.destroyed)
        m_hooks.destroyed(editor);
    QStyledItemDelegate::destroyEditor(editor, index);
}

void LabelDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (editor->property(kLoadedProperty).toBool())
        return;
    QStyledItemDelegate::setEditorData(editor, index);
    editor->setProperty(kLoadedProperty, true);
}

void LabelDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                 const QModelIndex& index) const
{
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (line && m_hooks.confirmed)
        m_hooks.confirmed(index, line->text());
}

bool LabelDelegate::eventFilter(QObject* watched, QEvent* event)
{
    // Ctrl+A is the window's add key also inside the editor, so the line edit must not claim
    // it for select-all; with no such key in the window it still selects all.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_A))
            return true;
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

} // namespace keywords
