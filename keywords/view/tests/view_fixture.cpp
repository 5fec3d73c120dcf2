#include "view_fixture.h"

#include "platform/cp932.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTest>
#include <QToolBar>

namespace view_tests {

std::string Cp932(const char* utf8)
{
    platform::Cp932Result bytes = platform::Utf8ToCp932(utf8);
    EXPECT_TRUE(bytes.text.has_value()) << utf8;
    return bytes.text.value_or(std::string());
}

Texts Cp932List(const std::vector<const char*>& utf8)
{
    Texts texts;
    for (const char* text : utf8)
        texts.push_back(Cp932(text));
    return texts;
}

void ViewTest::SetUp()
{
    m_window = new QMainWindow;
    m_view = new CVistrelView(m_window);
    m_window->setCentralWidget(m_view);
    m_elsewhere = new QLineEdit;
    m_window->addToolBar(QStringLiteral("bar"))->addWidget(m_elsewhere);
    m_view->SetStopMessage([this](const QString& text) { m_messages.append(text); });
    m_view->SetDocument(&m_doc);

    auto command = [this](QList<QKeySequence> keys, void (CVistrelView::*handler)()) {
        auto* action = new QAction(m_window);
        action->setShortcuts(keys);
        m_window->addAction(action);
        QObject::connect(action, &QAction::triggered, m_view, handler);
        return action;
    };
    m_add = command({QKeySequence(Qt::CTRL | Qt::Key_A), QKeySequence(Qt::Key_Return)},
                    &CVistrelView::OnAddKeyword);
    m_delete = command({QKeySequence(Qt::Key_Delete)}, &CVistrelView::OnDeleteKeyword);
    m_up = command({QKeySequence(Qt::SHIFT | Qt::Key_Up)}, &CVistrelView::OnMoveUp);
    m_down = command({QKeySequence(Qt::SHIFT | Qt::Key_Down)}, &CVistrelView::OnMoveDown);

    m_window->resize(400, 300);
    m_window->show();
    QApplication::setActiveWindow(m_window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window));
    m_view->setFocus();
    UpdateCommands();
}

void ViewTest::TearDown()
{
    delete m_window;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ViewTest::Load(const Texts& keywords)
{
    m_doc.m_arrKeywords = keywords;
    m_doc.SetModifiedFlag(false);
    m_view->OnInitialUpdate();
    UpdateCommands();
}

Texts ViewTest::Rows() const
{
    Texts rows;
    for (std::ptrdiff_t row = 0; row < m_view->GetRowCount(); ++row)
        rows.push_back(m_view->GetRowText(row));
    return rows;
}

Texts ViewTest::Marks() const
{
    Texts marks;
    for (int row = 0; row < m_view->topLevelItemCount(); ++row)
        marks.push_back(m_view->topLevelItem(row)->text(1).toStdString());
    return marks;
}

void ViewTest::ExpectRowsEqualDocument() const
{
    EXPECT_EQ(Rows(), m_doc.m_arrKeywords);
}

void ViewTest::Select(const std::vector<int>& rows)
{
    m_view->clearSelection();
    for (int row : rows)
        m_view->topLevelItem(row)->setSelected(true);
    UpdateCommands();
}

std::vector<int> ViewTest::SelectedRows() const
{
    std::vector<int> rows;
    for (int row = 0; row < m_view->topLevelItemCount(); ++row) {
        if (m_view->topLevelItem(row)->isSelected())
            rows.push_back(row);
    }
    return rows;
}

void ViewTest::UpdateCommands()
{
    m_delete->setEnabled(m_view->OnUpdateDeleteKeyword());
    m_up->setEnabled(m_view->OnUpdateMoveUp());
    m_down->setEnabled(m_view->OnUpdateMoveDown());
}

void ViewTest::Press(QKeyCombination key)
{
    UpdateCommands();
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key.key(), key.keyboardModifiers());
    Settle();
}

QLineEdit* ViewTest::Editor() const
{
    if (!m_view->IsEditingLabel())
        return nullptr;
    for (QLineEdit* editor : m_view->viewport()->findChildren<QLineEdit*>()) {
        if (editor->isVisible())
            return editor;
    }
    return nullptr;
}

int ViewTest::EditedRow() const
{
    QLineEdit* editor = Editor();
    return editor ? m_view->indexAt(editor->geometry().center()).row() : -1;
}

void ViewTest::Type(const QString& text)
{
    QLineEdit* editor = Editor();
    ASSERT_NE(editor, nullptr);
    editor->setText(text);
}

void ViewTest::FocusElsewhere()
{
    m_elsewhere->setFocus(Qt::MouseFocusReason);
    Settle();
}

void ViewTest::Settle()
{
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    UpdateCommands();
}

} // namespace view_tests
