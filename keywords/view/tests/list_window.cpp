#include "list_window.h"

#include <QApplication>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace view_tests {
namespace {

// The widgets need one application object for the whole test program.
class QtApplication : public testing::Environment
{
public:
    void SetUp() override { m_app = new QApplication(m_argc, m_argv); }
    void TearDown() override { delete m_app; }

private:
    int m_argc = 1;
    char m_name[5] = "view";
    char* m_argv[2] = {m_name, nullptr};
    QApplication* m_app = nullptr;
};

[[maybe_unused]] testing::Environment* const kQtApplication =
    testing::AddGlobalTestEnvironment(new QtApplication);

} // namespace

ListWindow::ListWindow()
{
    window = new QMainWindow;
    view = new CVistrelView(window);
    view->SetKeywordModel(&model);
    window->setCentralWidget(view);
    elsewhere = new QLineEdit;
    window->addToolBar(QStringLiteral("bar"))->addWidget(elsewhere);
    view->SetStopMessage([this](const QString& text) { messages.append(text); });

    auto command = [this](const QList<QKeySequence>& keys, void (CVistrelView::*handler)()) {
        auto* action = new QAction(window);
        action->setShortcuts(keys);
        window->addAction(action);
        QObject::connect(action, &QAction::triggered, view, handler);
        return action;
    };
    command({Qt::CTRL | Qt::Key_A, Qt::Key_Return}, &CVistrelView::OnAddKeyword);
    m_ruled = {command({Qt::Key_Delete}, &CVistrelView::OnDeleteKeyword),
               command({Qt::SHIFT | Qt::Key_Up}, &CVistrelView::OnMoveUp),
               command({Qt::SHIFT | Qt::Key_Down}, &CVistrelView::OnMoveDown),
               command({Qt::Key_F2}, &CVistrelView::OnRenameKeyword)};
    m_stop = new QAction(window);
    m_stop->setShortcut(Qt::Key_Escape);
    window->addAction(m_stop);
    QObject::connect(m_stop, &QAction::triggered, window, [this] { ++stops; });

    window->resize(400, 300);
    window->show();
    QApplication::setActiveWindow(window);
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    view->setFocus();
}

ListWindow::~ListWindow()
{
    delete window;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ListWindow::Load(const Texts& keywords)
{
    testing_support::SetKeywords(doc, keywords);
    doc.SetModifiedFlag(false);
    view->OnInitialUpdate();
}

void ListWindow::Select(const std::vector<int>& rows)
{
    view->clearSelection();
    for (int row : rows) {
        const QModelIndex index = model.index(row, 0);
        // As a click with Ctrl would: the row becomes the current one too.
        view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        view->selectionModel()->select(index,
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    Settle();
}

void ListWindow::Edit(int row)
{
    view->edit(model.index(row, 0));
    Settle();
}

void ListWindow::Type(const QString& text)
{
    QLineEdit* editor = Editor();
    ASSERT_NE(editor, nullptr) << "no editor is open";
    editor->setText(text);
}

void ListWindow::ClickElsewhere(bool settle)
{
    elsewhere->setFocus(Qt::MouseFocusReason);
    if (settle)
        Settle();
}

void ListWindow::Press(QKeyCombination key)
{
    UpdateCommands();
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key.key(), key.keyboardModifiers());
    Settle();
}

// As the window's updater does when the event loop goes idle.
void ListWindow::UpdateCommands()
{
    m_ruled[0]->setEnabled(view->OnUpdateDeleteKeyword());
    m_ruled[1]->setEnabled(view->OnUpdateMoveUp());
    m_ruled[2]->setEnabled(view->OnUpdateMoveDown());
    m_ruled[3]->setEnabled(view->OnUpdateRenameKeyword());
    m_stop->setEnabled(m_running);
}

void ListWindow::Settle()
{
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    UpdateCommands();
}

Texts ListWindow::Rows() const
{
    Texts rows;
    for (std::ptrdiff_t row = 0; row < model.GetRowCount(); ++row)
        rows.push_back(model.GetRowText(row));
    return rows;
}

namespace {

std::string Column(const QAbstractItemModel& model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts.append(model.index(row, column).data().toString());
    return texts.join(QLatin1Char('|')).toStdString();
}

} // namespace

std::string ListWindow::Shown() const
{
    return Column(model, 0);
}

std::string ListWindow::Marks() const
{
    return Column(model, 1);
}

std::string ListWindow::SelectedRows() const
{
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        if (view->selectionModel()->isRowSelected(row))
            rows.append(QString::number(row));
    }
    return rows.join(QLatin1Char(',')).toStdString();
}

int ListWindow::EditedRow() const
{
    QLineEdit* editor = Editor();
    return editor ? view->indexAt(editor->geometry().center()).row() : -1;
}

QLineEdit* ListWindow::Editor() const
{
    if (!view->IsEditingLabel())
        return nullptr;
    for (QLineEdit* editor : view->viewport()->findChildren<QLineEdit*>()) {
        if (editor->isVisible())
            return editor;
    }
    return nullptr;
}

} // namespace view_tests
