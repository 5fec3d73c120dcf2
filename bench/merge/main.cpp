// Merge throughput: medora's exported PIN_MergeDownloadFiles, loaded as the program loads it,
// against awk cutting the same listings out of the same pages into one file, with cat as the
// floor. Prints the median of several warm runs and the ratios.
#include "page_set.h"
#include "run_timer.h"
#include "watch_case.h"

#include "platform/program_folder.h"
#include "plugin_host/plugin_module.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct COptions
{
    int pages = 2000;
    std::size_t pageBytes = std::size_t{30} * 1024;
    int runs = 5;
    bool crlf = false;
    bool keep = false;
    std::string module = MEDORA_MODULE_PATH;
    std::string mergeOnce; // output of a single merge of the pages in "from"
    std::string from;
    bool fresh = false;
};

const char kUsage[] =
    "usage: merge-bench [--pages N] [--page-kb K] [--runs N] [--crlf] [--keep]\n"
    "                   [--module PATH]\n"
    "  --pages N    result pages to merge (2000)\n"
    "  --page-kb K  size of each page in KiB (30)\n"
    "  --runs N     timed runs of each contender; the median counts (5)\n"
    "  --crlf       pages with CR LF line ends, as some servers send them\n"
    "  --keep       keep the page folder and the outputs\n"
    "  --module P   the medora.so to time, e.g. of an older build (the\n"
    "               one built with this program)\n"
    "or:    merge-bench --merge-once OUTPUT --from FOLDER [--fresh] [--module P]\n"
    "  one merge of the pages ~TV* of FOLDER (one kept by --keep) into\n"
    "  OUTPUT, to be timed as a whole process; --fresh removes OUTPUT first\n";

bool ParseOptions(int argc, char** argv, COptions& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--crlf")
            options.crlf = true;
        else if (arg == "--keep")
            options.keep = true;
        else if (arg == "--pages" && hasValue)
            options.pages = std::atoi(argv[++i]);
        else if (arg == "--page-kb" && hasValue)
            options.pageBytes = static_cast<std::size_t>(std::atoi(argv[++i])) * 1024;
        else if (arg == "--runs" && hasValue)
            options.runs = std::atoi(argv[++i]);
        else if (arg == "--module" && hasValue)
            options.module = argv[++i];
        else if (arg == "--merge-once" && hasValue)
            options.mergeOnce = argv[++i];
        else if (arg == "--from" && hasValue)
            options.from = argv[++i];
        else if (arg == "--fresh")
            options.fresh = true;
        else
            return false;
    }
    if (options.mergeOnce.empty() != options.from.empty())
        return false;
    return options.pages > 0 && options.pageBytes > 0 && options.runs > 0;
}

// awk keeps what medora keeps: per page, the lines after the first start marker line up to
// the first end marker line, and reads no further.
const char kAwkProgram[] = "FNR == 1 { state = 0 }\n"
                           "state == 1 && $0 == \"<HR NOSHADE>\" { nextfile }\n"
                           "state == 1 { print; next }\n"
                           "$0 == start { state = 1 }\n";
// "<!-- ↑カテゴリ変更 ー-->" in code page 932.
const char kStartMarker[] = "<!-- \x81\xAA\x83\x4A\x83\x65\x83\x53\x83\x8A\x95\xCF\x8D\x58 "
                            "\x81\x5B-->";

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string WithoutCr(std::string text)
{
    std::erase(text, '\r');
    return text;
}

// medora's page is the template with awk's listings in place of the marker line.
bool SameListings(const std::string& medoraOut, const std::string& awkOut,
                  const std::string& pageTemplate)
{
    const std::string marker = "<!-- template replace -->\n";
    const std::string lines = WithoutCr(pageTemplate);
    const std::size_t at = lines.find(marker);
    if (at == std::string::npos)
        return false;
    return WithoutCr(medoraOut) ==
           lines.substr(0, at) + WithoutCr(awkOut) + lines.substr(at + marker.size());
}

// One contender's timed runs.
struct CContender
{
    const char* name;
    std::string what;
    std::vector<bench::CTiming> runs;

    double Median(double bench::CTiming::*field) const
    {
        std::vector<double> values;
        for (const bench::CTiming& run : runs)
            values.push_back(run.*field);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    }
};

void PrintRatio(const CContender& a, const CContender& b)
{
    std::printf("  %-6s / %-6s %8.2f %6.2f\n", a.name, b.name,
                a.Median(&bench::CTiming::wall) / b.Median(&bench::CTiming::wall),
                a.Median(&bench::CTiming::cpu) / b.Median(&bench::CTiming::cpu));
}

} // namespace

int main(int argc, char** argv)
{
    COptions options;
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    if (!options.mergeOnce.empty())
        return bench::MergeOnce(options.module, options.mergeOnce, options.from, options.fresh);

    // medora reads its template from the host program's Plugin/medora folder: this one's.
    const std::string dataFolder = platform::ProgramFolder() + "Plugin/medora/";
    std::error_code error;
    fs::create_directories(dataFolder, error);
    fs::copy_file(MEDORA_TEMPLATE_PATH, dataFolder + "template.html",
                  fs::copy_options::overwrite_existing, error);
    if (error) {
        std::fprintf(stderr, "merge-bench: cannot copy %s: %s\n", MEDORA_TEMPLATE_PATH,
                     error.message().c_str());
        return 1;
    }
    CPluginModule medora;
    if (!medora.Load(fs::absolute(options.module).string())) {
        std::fprintf(stderr, "merge-bench: cannot load %s\n", options.module.c_str());
        return 1;
    }

    std::string folder = (fs::temp_directory_path() / "vistrel-merge-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        std::perror("merge-bench: mkdtemp");
        return 1;
    }
    const bench::CPageSet pages =
        bench::WritePages(folder, options.pages, options.pageBytes, options.crlf);
    if (pages.paths.empty()) {
        std::fprintf(stderr, "merge-bench: cannot write the pages into %s\n", folder.c_str());
        return 1;
    }

    const std::string medoraOut = folder + "/medora.html";
    if (bench::WriteYesterdaysPage(medora, folder, pages.paths).empty()) {
        std::fprintf(stderr, "merge-bench: cannot write yesterday's page into %s\n",
                     folder.c_str());
        return 1;
    }
    const std::string markedOut = bench::TodaysPage(folder);
    const std::string awkOut = folder + "/awk.html";
    const std::string catOut = folder + "/cat.html";
    std::vector<std::string> awkArgs = {"awk", "-v", std::string("start=") + kStartMarker,
                                        kAwkProgram};
    if (options.crlf) // awk would keep the CR in each line, and no marker line would match
        awkArgs.insert(awkArgs.begin() + 1, {"-v", "RS=\\r?\\n"});
    std::vector<std::string> catArgs = {"cat"};
    awkArgs.insert(awkArgs.end(), pages.paths.begin(), pages.paths.end());
    catArgs.insert(catArgs.end(), pages.paths.begin(), pages.paths.end());

    // One untimed round brings every file into the page cache, then the runs alternate.
    CContender medoraRuns{"medora", "PIN_MergeDownloadFiles", {}};
    CContender markedRuns{"marked", "the same, yesterday's beside", {}};
    if (options.module != MEDORA_MODULE_PATH)
        std::printf("medora: %s\n", options.module.c_str());
    CContender awkRuns{"awk", bench::ResolveProgram("awk"), {}};
    CContender catRuns{"cat", bench::ResolveProgram("cat"), {}};
    for (int run = 0; run <= options.runs; ++run) {
        // Neither finds a page of its own name: the one has nothing to compare with, the
        // other yesterday's page.
        fs::remove(medoraOut, error);
        const auto m =
            bench::TimeCall([&] { return medora.MergeDownloadFiles(medoraOut, pages.paths); });
        fs::remove(markedOut, error);
        const auto w =
            bench::TimeCall([&] { return medora.MergeDownloadFiles(markedOut, pages.paths); });
        const auto a = bench::TimeProgram(awkArgs, awkOut);
        const auto c = bench::TimeProgram(catArgs, catOut);
        if (!m || !w || !a || !c) {
            std::fprintf(stderr, "merge-bench: %s failed (pages in %s)\n",
                         !m   ? "medora"
                         : !w ? "marked"
                         : !a ? "awk"
                              : "cat",
                         folder.c_str());
            return 1;
        }
        if (run > 0) {
            medoraRuns.runs.push_back(*m);
            markedRuns.runs.push_back(*w);
            awkRuns.runs.push_back(*a);
            catRuns.runs.push_back(*c);
        }
    }
    const bool same =
        SameListings(ReadFile(medoraOut), ReadFile(awkOut), ReadFile(MEDORA_TEMPLATE_PATH));

    const double mb = static_cast<double>(pages.totalBytes) / 1e6;
    std::printf("merge: %zu pages, %.1f MB (%.1f KB a page, %s), median of %d warm runs\n",
                pages.paths.size(), mb, mb * 1000 / static_cast<double>(pages.paths.size()),
                options.crlf ? "CR LF" : "LF", options.runs);
    std::printf("  %-6s %-24s %8s %8s %8s\n", "", "", "wall s", "cpu s", "MB/s");
    for (const CContender* c : {&medoraRuns, &markedRuns, &awkRuns, &catRuns}) {
        const double wall = c->Median(&bench::CTiming::wall);
        std::printf("  %-6s %-24s %8.3f %8.3f %8.0f\n", c->name, c->what.c_str(), wall,
                    c->Median(&bench::CTiming::cpu), mb / wall);
    }
    std::printf("  %-15s %8s %6s\n", "ratios", "wall", "cpu");
    PrintRatio(markedRuns, medoraRuns);
    PrintRatio(medoraRuns, awkRuns);
    PrintRatio(medoraRuns, catRuns);
    PrintRatio(awkRuns, catRuns);
    const bool met =
        medoraRuns.Median(&bench::CTiming::wall) <= 0.5 * awkRuns.Median(&bench::CTiming::wall);
    std::printf("  target medora <= 0.50 x awk (wall): %s\n", met ? "met" : "not met");
    std::printf("  listings: %s\n", same ? "medora and awk agree" : "MEDORA AND AWK DIFFER");
    const bench::MarkTally tally = bench::TallyMarks(markedOut);
    std::printf("  marked: %zu of %zu listings new against yesterday's page\n", tally.marked,
                tally.rows);

    if (options.keep)
        std::printf("  kept in %s\n", folder.c_str());
    else
        fs::remove_all(folder, error);
    return same ? 0 : 1;
}
