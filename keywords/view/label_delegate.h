#pragma once

#include <QStyledItemDelegate>

#include <functional>

namespace keywords {

// The in-place editor of the keyword list. Only column 0 can be edited, and a confirmed text
// goes to the view's checks instead of straight into the model. A key bound to an enabled
// command of the window goes to that command, also while the editor has the focus.
class LabelDelegate : public QStyledItemDelegate
{
public:
    struct Hooks
    {
        std::function<void(QWidget* editor)> opened;
        std::function<void(QWidget* editor)> destroyed;
        std::function<void(const QModelIndex& index, const QString& text)> confirmed;
    };

    LabelDelegate(Hooks hooks, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Hooks m_hooks;
};

} // namespace keywords
