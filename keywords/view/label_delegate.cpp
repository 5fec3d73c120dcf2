#include "keywords/view/label_delegate.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>
#include <utility>

namespace keywords {

namespace {

// Marks an editor whose text has been loaded once; later changes of the row (a search run
// marking it) must not overwrite what the user is typing.
constexpr char kLoadedProperty[] = "vistrelLabelLoaded";

// True when an enabled command of the editor's window is bound to the key.
bool WindowTakesKey(QObject* editor, const QKeyEvent& key)
{
    const auto* widget = qobject_cast<QWidget*>(editor);
    if (widget == nullptr)
        return false;
    const QKeySequence pressed(key.keyCombination());
    const QList<QAction*> commands = widget->window()->actions();
    return std::any_of(commands.begin(), commands.end(), [&pressed](const QAction* command) {
        return command->isEnabled() && command->shortcuts().contains(pressed);
    });
}

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
    // The window's keys act inside the editor too: Esc stops a run rather than only cancelling
    // the edit, and Ctrl+A adds rather than selecting all. A key that no enabled command of the
    // window takes stays with the editor (Esc cancels, Ctrl+A selects all).
    if (event->type() == QEvent::ShortcutOverride &&
        WindowTakesKey(watched, *static_cast<QKeyEvent*>(event)))
        return true;
    return QStyledItemDelegate::eventFilter(watched, event);
}

} // namespace keywords
