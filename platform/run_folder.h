#pragma once

#include "platform/temp_file.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The folder of one run's page files under the temporary folder, open to its user only and
// named for its process (RunOwner), so that the pages of a run that died can be told from
// those of a live one. Made with the first page file; removed with the page files still in it.
class RunFolder
{
public:
    RunFolder() = default;
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    // A new, empty file whose name starts with prefix in the folder, made first if need be;
    // its path.
    Result<std::string> MakeFile(std::string_view prefix = kTempFilePrefix);
    // The path of a file that is not there yet, in the folder (made first if need be), whose
    // name starts with prefix and differs from every other this folder has given: the folder
    // is its user's alone, so the file can be created later, on another thread.
    Result<std::string> NewFileName(std::string_view prefix = kTempFilePrefix);
    // Deletes the page files still in the folder, then the folder; the next file makes a new one.
    void Remove();
    // Empty while there is no folder.
    const std::string& Path() const { return m_path; }

private:
    Result<std::string> MakeFolder();

    std::string m_path;
    std::uint64_t m_names = 0; // given out by NewFileName in this folder
};

// Deletes the regular page files ("~TV...") in the folder at path, then the folder unless
// anything else is in it. Symbolic links are never followed; a folder of another user is left
// alone. False when the folder stays.
bool RemoveRunFolder(const std::string& path);

// Removes what runs that have ended left in the temporary folder: each run folder of this
// user whose process has certainly ended (HasEnded), as RemoveRunFolder does. Folders of live
// runs, of other users, machines or pid namespaces, and anything not named as a run folder
// stay.
void SweepDeadRunFolders();

} // namespace platform
