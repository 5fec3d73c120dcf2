// A whole search from the window over a large keyword list: the program's own window (offscreen),
// F5, the real workers and medora, against a listing site that is already running. Prints the
// run's wall-clock and processor time; run it under perf or callgrind to see where the window's
// time goes.
#include "app/command_ids.h"
#include "app/command_updater.h"
#include "app/main_frame.h"
#include "app/prompts.h"
#include "app/vistrel_app.h"
#include "download/curl_global.h"
#include "platform/cp932.h"
#include "platform/program_folder.h"

#include <QAction>
#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

const char kUsage[] = "usage: window-run-bench --server HOST:PORT [--keywords N]\n"
                      "  --server HOST:PORT  a running listing-site (build/bin/listing-site)\n"
                      "  --keywords N        keywords in the list (10000)\n";

// Answers No to the completion question and counts the messages.
class CAnswerNo : public app::IPrompts
{
public:
    app::MsgAnswer MessageBox(const QString& text, app::MsgIcon, app::MsgButtons) override
    {
        ++m_messages;
        m_last = text;
        return app::MsgAnswer::No;
    }
    QString GetOpenFileName(const QString&) override { return {}; }
    QString GetSaveFileName(const QString&, const QString&) override { return {}; }

    int m_messages = 0;
    QString m_last;
};

bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

// count lines "番組表キーワード<n>" in code page 932 with CR LF.
std::string KeywordFile(int count)
{
    const std::string stem = platform::Utf8ToCp932("番組表キーワード").text.value_or("");
    std::string bytes;
    for (int i = 0; i < count; ++i)
        bytes += stem + std::to_string(i) + "\r\n";
    return bytes;
}

// A program folder of its own with the built medora; medora's data folder lies beside this
// program, as it lies beside Vistrel, and is pointed at the site.
bool MakeProgramFolder(const std::string& folder, const std::string& server)
{
    std::error_code error;
    fs::create_directories(folder + "Plugin", error);
    fs::create_symlink(MEDORA_MODULE_PATH, folder + "Plugin/medora.so", error);
    const std::string medora = platform::ProgramFolder() + "Plugin/medora/";
    fs::create_directories(medora, error);
    fs::copy_file(MEDORA_TEMPLATE_PATH, medora + "template.html",
                  fs::copy_options::overwrite_existing, error);
    return !error && WriteFile(medora + "medora.ini", "[Site]\nServer=" + server + "\n") &&
           WriteFile(folder + "Vistrel.ini", "[Settings\\DownLoad]\nConnectNum=5\n"
                                             "[Settings\\Proxy]\nIESetting=0\n");
}

double CpuSeconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

} // namespace

int main(int argc, char** argv)
{
    std::string server;
    int count = 10000;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--server")
            server = argv[i + 1];
        else if (arg == "--keywords")
            count = std::atoi(argv[i + 1]);
    }
    if (server.empty() || count <= 0 || argc % 2 == 0) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication qt(argc, argv);
    download::CurlGlobal curl;

    std::string folder = (fs::temp_directory_path() / "vistrel-window-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        std::perror("window-run-bench: mkdtemp");
        return 1;
    }
    folder += "/";
    const std::string keywords = folder + "keywords.txt";
    if (!MakeProgramFolder(folder, server) || !WriteFile(keywords, KeywordFile(count))) {
        std::fprintf(stderr, "window-run-bench: cannot set up %s\n", folder.c_str());
        return 1;
    }

    int status = 0;
    {
        CAnswerNo prompts;
        CVistrelApp app(folder, &prompts);
        if (!app.InitInstance({keywords}))
            return 1;
        CMainFrame& frame = *app.GetMainFrame();
        const auto wallStart = std::chrono::steady_clock::now();
        const double cpuStart = CpuSeconds();
        frame.GetCommandUpdater().Update();
        frame.GetCommand(app::ID_SEARCH_START)->trigger();
        while (prompts.m_messages == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        std::printf("window run, %d keywords: %.2f s wall, %.2f s processor (all threads)\n", count,
                    wall, CpuSeconds() - cpuStart);
        std::printf("told: %s\n", prompts.m_last.toStdString().c_str());
        status = prompts.m_last.startsWith(QStringLiteral("検索を完了しました。")) ? 0 : 1;
        app.ExitInstance();
    }
    std::error_code error;
    fs::remove_all(folder, error);
    return status;
}
