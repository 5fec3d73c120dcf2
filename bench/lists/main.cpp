// Large keyword lists: opening a keyword file, showing it in the list view, starting a search
// run over it and taking every report of that run to its end, with workers that download
// nothing. Prints the time per keyword at each list size, so that growth shows.
#include "idle_pool.h"

#include "config/config_store.h"
#include "keywords/document_rows.h"
#include "keywords/view/vistrel_view.h"
#include "keywords/vistrel_doc.h"
#include "platform/cp932.h"
#include "plugin_host/plugin_module.h"
#include "search/search_run.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char kUsage[] = "usage: lists-bench [--sizes N,N,...] [--run-max N]\n"
                      "  --sizes N,...  keyword list sizes (1000,10000,100000)\n"
                      "  --run-max N    the largest list a run is started over and ended\n"
                      "                 (10000)\n";

double TimeMs(const std::function<void()>& step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// count lines "番組表キーワード<n>" in code page 932 with CR LF, as the program saves them.
bool WriteKeywordFile(const std::string& path, int count)
{
    const std::string stem = platform::Utf8ToCp932("番組表キーワード").value;
    std::string bytes;
    for (int i = 0; i < count; ++i)
        bytes += stem + std::to_string(i) + "\r\n";
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

// A whole run: its start, then every report until no run is under way.
struct RunTimes
{
    double startMs = 0;
    double endMs = 0;
};

RunTimes TimeRun(const std::string& programFolder, CVistrelDoc& doc, keywords::IKeywordRows& rows,
                 const CPluginModule& plugin)
{
    const config::Config config(programFolder + "Vistrel.ini");
    bench::IdlePool pool;
    bench::SilentPrompts prompts;
    CSearchRun run(config, programFolder, pool, prompts);
    RunTimes times;
    times.startMs = TimeMs([&] { run.OnSearchStart(&doc, rows, 8, "東京", &plugin); });
    times.endMs = TimeMs([&] {
        while (!run.OnUpdateSearchStart() && !pool.m_reports.empty()) {
            const search::WorkerReport report = std::move(pool.m_reports.front());
            pool.m_reports.pop_front();
            run.OnDownloadDone(report);
        }
    });
    return times;
}

void PrintRow(const char* what, int count, double ms)
{
    std::printf("  %-28s %8d %10.1f %10.2f\n", what, count, ms, ms * 1000.0 / count);
}

struct Args
{
    std::vector<int> sizes = {1000, 10000, 100000};
    int runMax = 10000;
};

// The command line; on a bad or --help one, the exit status to leave with.
std::optional<int> ParseArgs(int argc, char** argv, Args& args)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sizes" && i + 1 < argc) {
            args.sizes.clear();
            for (const char* p = argv[++i]; *p;) {
                char* end = nullptr;
                args.sizes.push_back(static_cast<int>(std::strtol(p, &end, 10)));
                p = *end == ',' ? end + 1 : end;
                if (args.sizes.back() <= 0 || (*end != ',' && *end != '\0')) {
                    std::fputs(kUsage, stderr);
                    return 2;
                }
            }
        } else if (arg == "--run-max" && i + 1 < argc) {
            args.runMax = std::atoi(argv[++i]);
        } else {
            std::fputs(kUsage, arg == "--help" ? stdout : stderr);
            return arg == "--help" ? 0 : 2;
        }
    }
    return std::nullopt;
}

// One list size's rows; false when its keyword file could not be written or opened.
bool TimeListSize(const std::string& programFolder, int count, int runMax,
                  const CPluginModule& medora)
{
    const std::string path = programFolder + "keywords" + std::to_string(count) + ".txt";
    if (!WriteKeywordFile(path, count)) {
        std::fprintf(stderr, "lists-bench: cannot write %s\n", path.c_str());
        return false;
    }
    CVistrelDoc doc;
    bool opened = false;
    PrintRow("open (CVistrelDoc)", count,
             TimeMs([&] { opened = static_cast<bool>(doc.OnOpenDocument(path)); }));
    if (!opened || doc.GetKeywordCount() != count) {
        std::fprintf(stderr, "lists-bench: %s did not open as %d keywords\n", path.c_str(), count);
        return false;
    }
    CVistrelView view;
    view.resize(400, 600);
    PrintRow("show (SetDocument)", count, TimeMs([&] { view.SetDocument(&doc); }));
    PrintRow("first paint", count, TimeMs([&] {
                 view.show();
                 QApplication::processEvents();
             }));
    if (count <= runMax) {
        const RunTimes inView = TimeRun(programFolder, doc, view, medora);
        PrintRow("run start, list view", count, inView.startMs);
        PrintRow("run reports, list view", count, inView.endMs);
        QApplication::processEvents();
        keywords::CDocumentRows rows(doc);
        const RunTimes batch = TimeRun(programFolder, doc, rows, medora);
        PrintRow("run start, batch rows", count, batch.startMs);
        PrintRow("run reports, batch rows", count, batch.endMs);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Args args;
    if (const std::optional<int> status = ParseArgs(argc, argv, args))
        return *status;
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);

    CPluginModule medora;
    if (!medora.Load(MEDORA_MODULE_PATH)) {
        std::fprintf(stderr, "lists-bench: cannot load %s\n", MEDORA_MODULE_PATH);
        return 1;
    }
    std::string folder = (fs::temp_directory_path() / "vistrel-lists-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        std::perror("lists-bench: mkdtemp");
        return 1;
    }
    const std::string programFolder = folder + "/";
    {
        std::ofstream ini(programFolder + "Vistrel.ini");
        ini << "[Settings\\DownLoad]\nConnectNum=5\n";
    }

    std::printf("lists: times in ms and in microseconds per keyword\n");
    std::printf("  %-28s %8s %10s %10s\n", "", "keywords", "ms", "us/kw");
    for (const int count : args.sizes) {
        if (!TimeListSize(programFolder, count, args.runMax, medora))
            return 1;
    }
    std::error_code error;
    fs::remove_all(folder, error);
    return 0;
}
