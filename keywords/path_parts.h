#pragma once

#include <string>

// Parts of a native path, split at its last "/".
namespace keywords {

// The name after the last "/": the whole path when it has none.
inline std::string FileNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The folder before the last "/": "." when the path has none, "/" for the root.
inline std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace keywords
