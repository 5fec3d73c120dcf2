#pragma once

#include "notify_bus.h"

#include "tools/listing_site/site_options.h"

#include <chrono>
#include <string>
#include <vector>

namespace batch_test {

// The built program as a user keeps watch with it: a program folder of its own (Vistrel,
// Plugin/medora.so, Plugin/medora/template.html, Vistrel.ini with direct connections and the
// test's recording browser, the sample keyword list), searched against the sample site
// started for each run, and a session bus of the test's own.
class WatchProgramTest : public NotifyBusTest
{
protected:
    struct Outcome
    {
        int status = -1;                // the wait status
        std::vector<std::string> lines; // of standard output
        std::string err;
    };

    WatchProgramTest();

    // Runs "Vistrel --search watchlist.txt --area 東京 --plugin medora" with options to its
    // end, against the sample site with siteOptions, in env (for the bus, the locale) over a
    // home, temporary and working folder of its own.
    Outcome Run(const listing_site::CSiteOptions& siteOptions,
                const std::vector<std::string>& options, const Env& env);
    // Vistrel.ini with direct connections and browser as the program that shows pages.
    void WriteSettings(const std::string& browser) const;
    // A session bus address whose socket nobody listens on, and an empty runtime folder.
    Env DeadBusEnv() const;
    // Every keyword of the sample list, in its order, in UTF-8.
    std::vector<std::string> Keywords() const;
    // Leaves only the page at path among the pages of its folder, with the given bytes (as the
    // first run wrote it), so that the next run compares with it again.
    void RestoreFirstPage(const std::string& path, const std::string& bytes) const;

    std::string InProgram(const std::string& name) const { return m_dir.File("program/" + name); }
    // Where the program runs: its error log is there.
    std::string WorkFolder() const { return m_dir.File("work"); }
};

} // namespace batch_test
