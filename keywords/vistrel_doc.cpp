#include "keywords/vistrel_doc.h"

#include "keywords/doc_file_error.h"
#include "keywords/keyword_file.h"
#include "keywords/path_parts.h"
#include "keywords/result_path.h"
#include "platform/atomic_file.h"
#include "platform/file_bytes.h"

#include <utility>

namespace {

// As a text editor saves: a keyword file the user linked elsewhere stays linked and the file
// it leads to is replaced, and the list survives a power cut.
constexpr platform::ReplaceRules kKeywordFileRules{platform::ReplaceRules::Link::Follow,
                                                   platform::ReplaceRules::NewFile::Shared, true};

} // namespace

CVistrelDoc::~CVistrelDoc() = default;

bool CVistrelDoc::OnNewDocument()
{
    m_strPathName.clear();
    m_bModified = false;
    m_strResultPath.clear();
    m_arrKeywords.clear();
    m_encoding = {};
    return true;
}

platform::Result<> CVistrelDoc::OnOpenDocument(const std::string& path)
{
    platform::FileReader reader;
    if (const platform::Result<> opened = reader.Open(path); !opened)
        return platform::Failure{keywords::OpenErrorText(opened.systemError, path),
                                 opened.systemError};
    const platform::Result<std::string> bytes = reader.ReadAll();
    if (!bytes) {
        // Whatever the document held is gone once reading began.
        OnNewDocument();
        return platform::Failure{keywords::OpenErrorText(bytes.systemError, path),
                                 bytes.systemError};
    }
    keywords::KeywordFile file = keywords::ReadKeywordFile(bytes.value);
    m_arrKeywords = std::move(file.keywords);
    m_encoding = file.encoding;
    m_strResultPath.clear();
    m_strPathName = path;
    m_bModified = false;
    return {};
}

platform::Result<> CVistrelDoc::OnSaveDocument(const std::string& path)
{
    const platform::Result<> saved = platform::ReplaceFile(
        path, keywords::WriteKeywordFile(m_arrKeywords, m_encoding), kKeywordFileRules);
    if (!saved)
        return platform::Failure{keywords::SaveErrorText(saved.systemError, path),
                                 saved.systemError};
    m_strPathName = path;
    m_bModified = false;
    return {};
}

std::string CVistrelDoc::GetTitle() const
{
    if (m_strPathName.empty())
        return std::string(kUntitledTitle);
    return keywords::FileNameOf(m_strPathName);
}

void CVistrelDoc::MakeResultPath(const std::string& cacheFolder, const std::string& pluginTitle,
                                 const std::string& regionName)
{
    const std::time_t now = std::time(nullptr);
    std::tm today{};
    localtime_r(&now, &today);
    MakeResultPath(cacheFolder, pluginTitle, regionName, today);
}

void CVistrelDoc::MakeResultPath(const std::string& cacheFolder, const std::string& pluginTitle,
                                 const std::string& regionName, const std::tm& date)
{
    m_strResultPath =
        keywords::FormatResultPath(cacheFolder, keywords::ResultBaseName(m_strPathName), regionName,
                                   keywords::ResultDateText(date), pluginTitle);
}

std::ptrdiff_t CVistrelDoc::GetKeywordCount() const
{
    return static_cast<std::ptrdiff_t>(m_arrKeywords.size());
}

bool CVistrelDoc::IsValidIndex(std::ptrdiff_t nIndex) const
{
    return nIndex >= 0 && nIndex < GetKeywordCount();
}

std::optional<std::string> CVistrelDoc::GetKeyword(std::ptrdiff_t nIndex) const
{
    if (!IsValidIndex(nIndex))
        return std::nullopt;
    return m_arrKeywords[static_cast<std::size_t>(nIndex)];
}

void CVistrelDoc::AddKeyword(std::string strKeyword)
{
    m_arrKeywords.push_back(std::move(strKeyword));
}

bool CVistrelDoc::SetKeyword(std::ptrdiff_t nIndex, std::string strKeyword)
{
    if (!IsValidIndex(nIndex))
        return false;
    m_arrKeywords[static_cast<std::size_t>(nIndex)] = std::move(strKeyword);
    return true;
}

bool CVistrelDoc::RemoveKeyword(std::ptrdiff_t nIndex)
{
    if (!IsValidIndex(nIndex))
        return false;
    m_arrKeywords.erase(m_arrKeywords.begin() + nIndex);
    return true;
}

bool CVistrelDoc::InsertKeyword(std::ptrdiff_t nIndex, std::string strKeyword)
{
    if (nIndex < 0 || nIndex > GetKeywordCount())
        return false;
    m_arrKeywords.insert(m_arrKeywords.begin() + nIndex, std::move(strKeyword));
    return true;
}
