#include "app/tests/app_folder.h"

#include "app/main_frame.h"

#include <filesystem>

namespace app_test {

CAppFolder::CAppFolder(std::initializer_list<const char*> plugins)
{
    std::filesystem::create_directory(File("Plugin"));
    for (const char* plugin : plugins)
        AddPlugin(plugin);
}

void CAppFolder::AddPlugin(const char* name) const
{
    std::filesystem::copy_file(std::string(APP_TEST_PLUGIN_DIR) + "/" + name + ".so",
                               File(std::string("Plugin/") + name + ".so"));
}

std::string CAppFolder::WriteKeywordFile(const std::string& name, std::string_view bytes) const
{
    testing_support::WriteFileBytes(File(name), bytes);
    return File(name);
}

CStartedApp::CStartedApp(const CAppFolder& folder, const std::vector<std::string>& args)
    : m_app(folder.Folder(), &prompts)
{
    m_bStarted = m_app.InitInstance(args);
}

CStartedApp::~CStartedApp()
{
    m_app.ExitInstance();
}

CMainFrame& CStartedApp::Frame() const
{
    return *m_app.GetMainFrame();
}

bool CStartedApp::Close()
{
    return Frame().close();
}

} // namespace app_test
