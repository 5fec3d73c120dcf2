#include "view_fixture.h"

#include "platform/cp932.h"

#include <QApplication>
#include <QTest>
#include <QToolBar>

#include <algorithm>
#include <map>

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

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    while (!text.empty()) {
        const std::size_t end = text.find(separator);
        parts.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return parts;
}

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

std::string Cp932(std::string_view utf8)
{
    platform::Result<std::string> bytes = platform::Utf8ToCp932(utf8);
    EXPECT_TRUE(bytes) << utf8;
    return bytes.value;
}

Texts Cp932List(std::string_view utf8List)
{
    Texts texts;
    for (std::string_view text : Split(utf8List, '|')) {
        std::string spaced(text);
        std::replace(spaced.begin(), spaced.end(), '_', ' ');
        texts.push_back(Cp932(spaced));
    }
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

    auto command = [this](const QList<QKeySequence>& keys, void (CVistrelView::*handler)()) {
        auto* action = new QAction(m_window);
        action->setShortcuts(keys);
        m_window->addAction(action);
        QObject::connect(action, &QAction::triggered, m_view, handler);
        return action;
    };
    command({Qt::CTRL | Qt::Key_A, Qt::Key_Return}, &CVistrelView::OnAddKeyword);
    m_commands = {command({Qt::Key_Delete}, &CVistrelView::OnDeleteKeyword),
                  command({Qt::SHIFT | Qt::Key_Up}, &CVistrelView::OnMoveUp),
                  command({Qt::SHIFT | Qt::Key_Down}, &CVistrelView::OnMoveDown)};
    m_stop = new QAction(m_window);
    m_stop->setShortcut(Qt::Key_Escape);
    m_window->addAction(m_stop);
    QObject::connect(m_stop, &QAction::triggered, m_window, [this] { ++m_stops; });

    m_window->resize(400, 300);
    m_window->show();
    QApplication::setActiveWindow(m_window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window));
    m_view->setFocus();
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
}

std::string ViewTest::LoadFile(std::string_view bytes)
{
    std::string path = m_dir.File("list.txt");
    testing_support::WriteFileBytes(path, bytes);
    EXPECT_TRUE(m_doc.OnOpenDocument(path));
    m_view->OnInitialUpdate();
    return path;
}

void ViewTest::Run(std::string_view script)
{
    for (std::string_view step : Split(script, ' ')) {
        SCOPED_TRACE(std::string(step));
        RunStep(step);
        if (step != "C")
            Settle();
        if (m_bDocumentInStep) {
            EXPECT_EQ(Rows(), m_doc.m_arrKeywords) << "rows and document differ";
        }
    }
}

void ViewTest::RunStep(std::string_view step)
{
    static const std::map<std::string_view, QKeyCombination> keys = {
        {"kEnter", QKeyCombination(Qt::Key_Return)},
        {"kCtrlA", QKeyCombination(Qt::ControlModifier, Qt::Key_A)},
        {"kDel", QKeyCombination(Qt::Key_Delete)},
        {"kShiftUp", QKeyCombination(Qt::ShiftModifier, Qt::Key_Up)},
        {"kShiftDown", QKeyCombination(Qt::ShiftModifier, Qt::Key_Down)},
        {"kDown", QKeyCombination(Qt::Key_Down)},
        {"kEsc", QKeyCombination(Qt::Key_Escape)}};
    static const std::map<char, void (CVistrelView::*)()> commands = {
        {'a', &CVistrelView::OnAddKeyword},
        {'d', &CVistrelView::OnDeleteKeyword},
        {'u', &CVistrelView::OnMoveUp},
        {'n', &CVistrelView::OnMoveDown}};
    const std::string_view rest = step.substr(1);
    if (commands.count(step[0])) {
        (m_view->*commands.at(step[0]))();
        return;
    }
    switch (step[0]) {
    case 's':
        Select(rest);
        break;
    case 'e':
        m_view->editItem(m_view->topLevelItem(std::stoi(std::string(rest))), 0);
        break;
    case 'c':
    case 'C':
        m_elsewhere->setFocus(Qt::MouseFocusReason);
        break;
    case 'R':
        m_bRunning = true;
        break;
    case 'p':
        m_doc.m_arrKeywords.pop_back();
        m_bDocumentInStep = false;
        break;
    case 'f':
        EXPECT_EQ(m_view->FinishLabelEdit(), rest != "!");
        break;
    case 't':
        ASSERT_NE(Editor(), nullptr);
        Editor()->setText(FromUtf8(rest).replace(QLatin1Char('_'), QLatin1Char(' ')));
        break;
    case 'm': {
        const std::size_t eq = rest.find('=');
        m_view->SetRowMark(std::stoi(std::string(rest.substr(0, eq))), rest.substr(eq + 1), "");
        break;
    }
    case 'k': {
        UpdateCommands();
        ASSERT_TRUE(keys.count(step)) << "no such key";
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        const QKeyCombination key = keys.at(step);
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        break;
    }
    default:
        FAIL() << "no such step";
    }
}

Texts ViewTest::Rows() const
{
    Texts rows;
    for (std::ptrdiff_t row = 0; row < m_view->GetRowCount(); ++row)
        rows.push_back(m_view->GetRowText(row));
    return rows;
}

std::string ViewTest::Marks() const
{
    QStringList marks;
    for (int row = 0; row < m_view->topLevelItemCount(); ++row)
        marks.append(m_view->topLevelItem(row)->text(1));
    return marks.join(QLatin1Char('|')).toStdString();
}

std::string ViewTest::SelectedRows() const
{
    QStringList rows;
    for (int row = 0; row < m_view->topLevelItemCount(); ++row) {
        if (m_view->topLevelItem(row)->isSelected())
            rows.append(QString::number(row));
    }
    return rows.join(QLatin1Char(',')).toStdString();
}

int ViewTest::EditedRow() const
{
    QLineEdit* editor = Editor();
    return editor ? m_view->indexAt(editor->geometry().center()).row() : -1;
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

void ViewTest::Select(std::string_view rows)
{
    m_view->clearSelection();
    for (std::string_view row : Split(rows, ',')) {
        const QModelIndex index = m_view->model()->index(std::stoi(std::string(row)), 0);
        // As a click with Ctrl would: the row becomes the current one too.
        m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        m_view->selectionModel()->select(index,
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

// As the window's updater does when the event loop goes idle.
void ViewTest::UpdateCommands()
{
    m_commands[0]->setEnabled(m_view->OnUpdateDeleteKeyword());
    m_commands[1]->setEnabled(m_view->OnUpdateMoveUp());
    m_commands[2]->setEnabled(m_view->OnUpdateMoveDown());
    m_stop->setEnabled(m_bRunning);
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
