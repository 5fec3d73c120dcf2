#pragma once

#include <string>
#include <vector>

namespace config {
class Config;
}

namespace app {

// The recent-file list of the "ファイル" menu: at most four full paths, most recent first, kept
// in "Recent File List" "File1".."File4". Every change is written at once, and the list once
// more at exit, so the instance that ends last leaves its list behind.
class CRecentFileList
{
public:
    explicit CRecentFileList(const config::Config& config);

    // Replaces the list with the stored entries; empty entries are skipped.
    void ReadList();
    // Writes all four keys; entries the list does not have are written empty.
    void WriteList() const;

    // Puts path at the top, dropping an older entry of the same path and the fifth entry.
    void Add(const std::string& path);
    // Drops the entry at index (0 = "File1"); an index out of range is ignored.
    void Remove(int index);

    int GetSize() const { return static_cast<int>(m_arrNames.size()); }
    const std::string& GetAt(int index) const { return m_arrNames.at(static_cast<size_t>(index)); }

private:
    const config::Config& m_config;
    std::vector<std::string> m_arrNames;
};

} // namespace app
