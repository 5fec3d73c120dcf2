#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

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
    const std::string& Path() const { return m_strPath; }
    // Path() + "/" + name.
    std::string File(std::string_view name) const;

private:
    std::string m_strPath;
};

// Whole-file helpers; they fail the current test on an I/O error.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, std::string_view bytes);

// Runs body with the privileges of an ordinary user, so that tests of unwritable or unreadable
// files also mean something when the suite runs as root (as CI does). As root it hands the
// given paths to the user "nobody", runs body in a child process under that user and returns
// its verdict; otherwise it simply runs body. body must not use GoogleTest assertions.
bool RunUnprivileged(const std::vector<std::string>& paths, const std::function<bool()>& body);

} // namespace testing_support
