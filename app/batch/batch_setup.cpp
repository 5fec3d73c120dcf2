#include "app/batch/batch_setup.h"

#include "config/regions.h"
#include "keywords/vistrel_doc.h"
#include "platform/program_folder.h"
#include "platform/user_folders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace batch {
namespace {

bool ChooseArea(const BatchArgs& args, const config::Config& config, CBatchSetup& setup,
                std::ostream& err)
{
    if (args.area) {
        const std::optional<int> area = ResolveArea(*args.area);
        if (!area) {
            err << "Vistrel: unknown area: " << *args.area
                << " (give 1 to 47 or the name of a prefecture)\n";
            return false;
        }
        setup.nArea = *area;
    } else {
        setup.nArea = config.ReadInt(config::Key::Area);
        if (setup.nArea < 1 || setup.nArea >= config::kRegionCount) {
            err << "Vistrel: no region chosen (\"Settings\\Query\" \"Area\" is " << setup.nArea
                << "); give --area\n";
            return false;
        }
    }
    setup.strAreaName = std::string(config::RegionName(setup.nArea));
    return true;
}

bool OpenKeywords(const std::string& path, CVistrelDoc& doc, std::ostream& err)
{
    const platform::Result<> opened = doc.OnOpenDocument(path);
    if (!opened) {
        err << "Vistrel: " << opened.error << "\n";
        return false;
    }
    if (std::ranges::all_of(doc.GetKeywords(), [](const std::string& k) { return k.empty(); })) {
        err << "Vistrel: " << path << " holds no keyword\n";
        return false;
    }
    return true;
}

bool ChoosePlugin(const BatchArgs& args, const config::Config& config,
                  const std::string& programFolder, CBatchSetup& setup, std::ostream& err)
{
    const std::string title = args.plugin ? *args.plugin : config.ReadString(config::Key::DLLName);
    const std::string folder = platform::PluginFolder(programFolder);
    DiscoverPlugins(folder, setup.plugins);
    std::string available;
    for (const auto& module : setup.plugins) {
        if (module->GetFileTitle() == title) {
            setup.pPlugin = module.get();
            return true;
        }
        available += (available.empty() ? "" : ", ") + module->GetFileTitle();
    }
    err << "Vistrel: no plug-in \"" << title << "\" in " << folder << " (";
    err << (available.empty() ? std::string("there is none") : "available: " + available) << ")\n";
    return false;
}

// A line break in the result page's path would split the one line batch mode prints it on.
bool ResultPathFitsOneLine(const config::Config& config, const std::string& dataFolder,
                           CVistrelDoc& doc, const CBatchSetup& setup, std::ostream& err)
{
    // Named as the run will name it when it starts.
    doc.MakeResultPath(config::CacheFolder(config, dataFolder), setup.pPlugin->GetFileTitle(),
                       setup.strAreaName);
    const std::string path = doc.GetResultPath();
    if (path.find_first_of("\r\n") == std::string::npos)
        return true;
    std::string shown;
    for (const char c : path)
        shown += c == '\n'   ? std::string("\\n")
                 : c == '\r' ? std::string("\\r")
                             : std::string(1, c);
    err << "Vistrel: the result page's path would hold a line break: " << shown
        << "\n(rename the keyword file or the plug-in)\n";
    return false;
}

} // namespace

bool PrepareSearch(const BatchArgs& args, const config::Config& config,
                   const platform::UserFolders& folders, const std::string& programFolder,
                   CVistrelDoc& doc, CBatchSetup& setup, std::ostream& err)
{
    if (!ChooseArea(args, config, setup, err) || !OpenKeywords(args.keywordFile, doc, err))
        return false;
    std::error_code ec; // as at start-up: a folder that cannot be made fails the merge later
    std::filesystem::create_directories(platform::DefaultCacheFolder(folders), ec);
    return ChoosePlugin(args, config, programFolder, setup, err) &&
           ResultPathFitsOneLine(config, folders.data, doc, setup, err);
}

} // namespace batch
