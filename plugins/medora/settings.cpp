#include "settings.h"

#include "platform/cp932.h"
#include "platform/profile.h"
#include "platform/program_folder.h"
#include "platform/user_folders.h"

#include <filesystem>
#include <system_error>

namespace medora {
namespace {

constexpr char kPeriodSection[] = "URLParam";
constexpr char kStartDateKey[] = "sdate";
constexpr char kPeriodKey[] = "ldate";
constexpr char kDefaultPeriod[] = "28";
constexpr char kResultSection[] = "Result";
constexpr char kMarkNewKey[] = "MarkNew";

struct CSettings
{
    std::string strStartDate;
    std::string strPeriod = kDefaultPeriod;
    std::string strServerName = kDefaultServerName;
    bool markNew = true;
};

// Created on first use, so the load-time read never meets an unconstructed object.
CSettings& Settings()
{
    static CSettings settings;
    return settings;
}

std::string Cut(std::string_view value, std::size_t limit)
{
    return std::string(value.substr(0, platform::BoundedLength(value, limit)));
}

std::string InDataFolder(std::string_view name)
{
    const std::string folder = PluginFolder();
    return folder.empty() ? std::string() : folder + "medora/" + std::string(name);
}

} // namespace

std::string PluginFolder()
{
    const std::string program = platform::ProgramFolder();
    return program.empty() ? std::string() : platform::PluginFolder(program);
}

std::string SettingsPath()
{
    // Beside the template in portable use, else in the user's configuration folder: the host
    // program's own rule, so both keep their settings in the same place.
    const std::string program = platform::ProgramFolder();
    if (program.empty())
        return {};
    const platform::Result<platform::UserFolders> folders = platform::CurrentUserFolders(program);
    if (!folders)
        return {};
    return platform::PluginSettingsFolder(folders.value, "medora") + "medora.ini";
}

std::string TemplatePath()
{
    return InDataFolder("template.html");
}

void ReadSettings()
{
    CSettings values;
    const std::string path = SettingsPath();
    if (!path.empty()) {
        const platform::Profile profile(path);
        values.strStartDate =
            Cut(profile.ReadString(kPeriodSection, kStartDateKey, ""), kStartDateBytes);
        values.strPeriod =
            Cut(profile.ReadString(kPeriodSection, kPeriodKey, kDefaultPeriod), kPeriodBytes);
        std::string server = profile.ReadString("Site", "Server", "");
        if (!server.empty())
            values.strServerName = std::move(server);
        // Only an explicit 0 turns marking off: a typo must not silently lose the marks.
        values.markNew = profile.ReadString(kResultSection, kMarkNewKey, "") != "0";
    }
    Settings() = std::move(values);
}

const std::string& StartDate()
{
    return Settings().strStartDate;
}

const std::string& Period()
{
    return Settings().strPeriod;
}

const std::string& ServerName()
{
    return Settings().strServerName;
}

bool MarkNewListings()
{
    return Settings().markNew;
}

void SetStartDate(std::string_view value)
{
    Settings().strStartDate = Cut(value, kStartDateBytes);
}

void SetPeriod(std::string_view value)
{
    Settings().strPeriod = Cut(value, kPeriodBytes);
}

bool SaveSettings()
{
    const std::string path = SettingsPath();
    if (path.empty())
        return false;
    // The data folder may not exist yet when the user saves for the first time.
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    const platform::Profile profile(path);
    const bool savedStart = profile.WriteString(kPeriodSection, kStartDateKey, StartDate());
    const bool savedPeriod = profile.WriteString(kPeriodSection, kPeriodKey, Period());
    return savedStart && savedPeriod;
}

} // namespace medora
