#pragma once

#include "app/tests/fake_prompts.h"
#include "app/vistrel_app.h"
#include "config/config_store.h"
#include "platform/tests/temp_dir.h"

#include <initializer_list>
#include <string>
#include <vector>

class CMainFrame;

namespace app_test {

// A program folder of its own for one test: Vistrel.ini, Cache and a Plugin folder holding
// copies of the named test plug-ins ("medora", "alpha", "zulu").
class CAppFolder : public testing_support::CTempDir
{
public:
    explicit CAppFolder(std::initializer_list<const char*> plugins = {});

    // The program folder, ending in "/".
    std::string Folder() const { return Path() + "/"; }
    config::Config Config() const { return config::Config(config::VistrelIniPath(Folder())); }
    void AddPlugin(const char* name) const;
    // Writes a keyword file into the folder and returns its full path.
    std::string WriteKeywordFile(const std::string& name, std::string_view bytes) const;
};

// The application started in a folder, with the user's answers in prompts; ended (as the
// program ends) when the object goes away.
class CStartedApp
{
public:
    explicit CStartedApp(const CAppFolder& folder, const std::vector<std::string>& args = {});
    ~CStartedApp();

    bool Started() const { return m_bStarted; }
    CMainFrame& Frame() const;
    CVistrelApp& App() { return m_app; }
    CVistrelDoc& Doc() { return m_app.GetDocument(); }
    // Closes the main window as the user would; true when it closed.
    bool Close();

    CFakePrompts prompts;

private:
    CVistrelApp m_app;
    bool m_bStarted = false;
};

} // namespace app_test
