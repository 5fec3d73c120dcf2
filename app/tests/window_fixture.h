#pragma once

// Whole searches through the window with the real workers, the built medora and the sample
// site, as a user would run them.
#include "app/command_updater.h"
#include "app/main_frame.h"
#include "app/tests/fake_prompts.h"
#include "app/vistrel_app.h"
#include "batch_fixture.h"
#include "keywords/keyword_model.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>

namespace app_test {

class CWindowRunTest : public batch_test::CBatchTest
{
protected:
    void Open(const std::vector<std::string>& keywords)
    {
        ASSERT_TRUE(m_app.InitInstance({WriteKeywords(keywords)}));
    }
    ~CWindowRunTest() override { m_app.ExitInstance(); }

    CMainFrame& Frame() { return *m_app.GetMainFrame(); }
    keywords::KeywordModel& List() { return *Frame().GetKeywordModel(); }
    bool Enabled(int id)
    {
        Frame().GetCommandUpdater().Update();
        return Frame().GetCommand(id)->isEnabled();
    }
    void Press(int id)
    {
        ASSERT_TRUE(Enabled(id)) << id;
        Frame().GetCommand(id)->trigger();
    }
    // Lets the event loop carry the workers' reports until pred holds or time runs out.
    template <typename Pred>
    bool PumpUntil(Pred pred, int ms = 20000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!pred() && timer.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return pred();
    }
    std::vector<std::string> Marks()
    {
        std::vector<std::string> marks;
        for (int i = 0; i < List().rowCount(); ++i)
            marks.push_back(List().index(i, 1).data().toString().toStdString());
        return marks;
    }
    // The tool tip of a row's mark.
    std::string Tip(int row)
    {
        return List().index(row, 1).data(Qt::ToolTipRole).toString().toStdString();
    }

    CFakePrompts m_prompts;
    CVistrelApp m_app{ProgramFolder(), &m_prompts};
};

} // namespace app_test
