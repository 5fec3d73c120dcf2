#pragma once

#include "keywords/view/vistrel_view.h"
#include "keywords/vistrel_doc.h"
#include "platform/tests/temp_dir.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace view_tests {

using Texts = std::vector<std::string>;

// Code page 932 bytes of "|"-separated UTF-8 texts ("" gives none; "_" is a space).
Texts Cp932List(std::string_view utf8List);
std::string Cp932(std::string_view utf8);

// A window as the program builds it: the view as its client, another control to take the
// focus, and the view's commands as window keys enabled by the view's own rules.
class ViewTest : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Puts keywords (bytes) into the document and rebuilds the rows; not modified.
    void Load(const Texts& keywords);
    // Opens a keyword file of these bytes as the document (in the encoding they show) and
    // rebuilds the rows; returns the file's path.
    std::string LoadFile(std::string_view bytes);
    // Runs steps separated by spaces, as the user would:
    //   a d u n    the add, delete, up and down commands    s0,2  select rows 0 and 2 (s: none)
    //   e1         open the editor on row 1                   tABC  type ABC ("_" is a space)
    //   c          confirm the edit by a click elsewhere
    //   C          as c, but the event loop does not run before the next step
    //   f / f!     finish the edit, expecting it taken / refused
    //   m1=NG      mark row 1 "NG"
    //   p          drop the document's last keyword behind the view's back
    //   kEnter kCtrlA kDel kShiftUp kShiftDown kDown kEsc  press a key where the focus is
    //   R          a search run starts: the window's stop key (Esc) is enabled from now on
    // After every step the rows must equal the document's keywords (until p).
    void Run(std::string_view script);

    Texts Rows() const;
    std::string Marks() const;        // "|"-separated column 1 texts
    std::string SelectedRows() const; // "0,2"
    int EditedRow() const;            // -1 when no editor is open
    QLineEdit* Editor() const;
    void Select(std::string_view rows);
    void UpdateCommands();
    void Settle();

    QMainWindow* m_window = nullptr;
    CVistrelView* m_view = nullptr;
    QLineEdit* m_elsewhere = nullptr;
    testing_support::CTempDir m_dir;
    CVistrelDoc m_doc;
    QStringList m_messages;
    std::vector<QAction*> m_commands; // delete, up, down
    QAction* m_stop = nullptr;        // the window's "stop the run" key, Esc
    bool m_bRunning = false;
    int m_stops = 0;
    bool m_bDocumentInStep = true;

private:
    void RunStep(std::string_view step);
};

} // namespace view_tests
