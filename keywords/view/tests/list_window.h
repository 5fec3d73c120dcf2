#pragma once

#include "doc_keywords.h"
#include "keywords/keyword_model.h"
#include "keywords/view/vistrel_view.h"
#include "keywords/vistrel_doc.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>

#include <string>
#include <string_view>
#include <vector>

namespace view_tests {

using Texts = std::vector<std::string>;

using testing_support::Cp932List;

// A window as the program builds it: the list over a document of its own, another control
// to take the focus, and the list's commands and the run's stop (Esc) as window keys, each
// enabled by its rule when the test presses a key.
class ListWindow
{
public:
    ListWindow();
    ~ListWindow();

    // Makes keywords (bytes) the document's, not modified, and rebuilds the list.
    void Load(const Texts& keywords);
    void Select(const std::vector<int>& rows);
    // Opens the in-place editor on row's keyword; types text into the open editor.
    void Edit(int row);
    void Type(const QString& text);
    // Gives the focus to the other control, as a click there does; the event loop runs
    // unless told not to.
    void ClickElsewhere(bool settle = true);
    // A key where the focus is, after the commands' rules have been applied.
    void Press(QKeyCombination key);
    // From now on a run is under way: Esc, the stop key, is enabled.
    void StartRun() { m_running = true; }
    // Lets the event loop deliver what is queued (a refused edit waits there).
    void Settle();

    Texts Rows() const;
    std::string Shown() const;        // "|"-separated column 0 texts
    std::string Marks() const;        // "|"-separated column 1 texts
    std::string SelectedRows() const; // "0,2"
    int EditedRow() const;            // -1 when no editor is open
    QLineEdit* Editor() const;

    CVistrelDoc doc;
    keywords::KeywordModel model{doc};
    QMainWindow* window = nullptr;
    CVistrelView* view = nullptr;
    QLineEdit* elsewhere = nullptr;
    QStringList messages; // the stop messages the list showed
    int stops = 0;        // times the stop key reached its command

private:
    void UpdateCommands();

    std::vector<QAction*> m_ruled; // delete, up, down, rename
    QAction* m_stop = nullptr;
    bool m_running = false;
};

} // namespace view_tests
