#pragma once

#include "keywords/view/vistrel_view.h"
#include "keywords/vistrel_doc.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QStringList>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace view_tests {

using Texts = std::vector<std::string>;

// Code page 932 bytes of UTF-8 texts that have them; a test needs them as the keywords'
// stored form.
std::string Cp932(const char* utf8);
Texts Cp932List(const std::vector<const char*>& utf8);

// A window as the program builds it: the view as its client and the view's commands as
// window-wide keys, enabled by the view's own rules as the window's updater would.
class ViewTest : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Puts keywords into the document and rebuilds the rows; not modified.
    void Load(const Texts& keywords);
    Texts Rows() const;
    Texts Marks() const;
    // The invariant: the rows' keyword bytes are the document's keywords.
    void ExpectRowsEqualDocument() const;
    void Select(const std::vector<int>& rows);
    std::vector<int> SelectedRows() const;
    // Re-evaluates the enabling rules, as the window does when the event loop goes idle.
    void UpdateCommands();
    // Sends a key to the widget with the focus, as the user types it.
    void Press(QKeyCombination key);

    QLineEdit* Editor() const;
    int EditedRow() const;
    // Replaces the text of the open editor.
    void Type(const QString& text);
    // Moves the keyboard focus to another control of the window, as a click there would.
    void FocusElsewhere();
    // Lets queued work (a refusal and the editor reopening) run.
    void Settle();

    QMainWindow* m_window = nullptr;
    CVistrelView* m_view = nullptr;
    CVistrelDoc m_doc;
    QLineEdit* m_elsewhere = nullptr;
    QStringList m_messages;
    QAction* m_add = nullptr;
    QAction* m_delete = nullptr;
    QAction* m_up = nullptr;
    QAction* m_down = nullptr;
};

} // namespace view_tests
