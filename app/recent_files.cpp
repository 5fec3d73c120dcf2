#include "app/recent_files.h"

#include "config/config_store.h"

#include <algorithm>

namespace app {

CRecentFileList::CRecentFileList(const config::Config& config)
    : m_config(config)
{}

void CRecentFileList::ReadList()
{
    m_arrNames.clear();
    for (int i = 0; i < config::kRecentFileCount; ++i) {
        std::string name = m_config.ReadString(config::RecentFileKey(i));
        if (!name.empty())
            m_arrNames.push_back(std::move(name));
    }
}

void CRecentFileList::WriteList() const
{
    for (int i = 0; i < config::kRecentFileCount; ++i)
        m_config.WriteString(config::RecentFileKey(i), i < GetSize() ? GetAt(i) : std::string());
}

void CRecentFileList::Add(const std::string& path)
{
    if (path.empty())
        return;
    std::erase(m_arrNames, path);
    m_arrNames.insert(m_arrNames.begin(), path);
    if (GetSize() > config::kRecentFileCount)
        m_arrNames.resize(config::kRecentFileCount);
    WriteList();
}

void CRecentFileList::Remove(int index)
{
    if (index < 0 || index >= GetSize())
        return;
    m_arrNames.erase(m_arrNames.begin() + index);
    WriteList();
}

} // namespace app
