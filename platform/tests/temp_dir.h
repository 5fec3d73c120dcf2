#pragma once

#include <set>
#include <string>
#include <string_view>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes away.
class CTempDir
{
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    // The folder, without a trailing "/".
    const std::string& Path() const { return m_path; }
    // Path() + "/" + name.
    std::string File(std::string_view name) const;

private:
    std::string m_path;
};

// Every name under folder, relative to it, links not followed.
std::set<std::string> FolderEntries(const std::string& folder);

// Whole-file helpers; they fail the current test on an I/O error.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, std::string_view bytes);

} // namespace testing_support
