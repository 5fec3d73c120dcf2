#include "keywords/vistrel_doc.h"

#include "keywords/doc_file_error.h"
#include "keywords/file_bytes.h"
#include "keywords/keyword_file.h"
#include "keywords/path_parts.h"
#include "keywords/result_path.h"

#include <utility>

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

CDocFileResult CVistrelDoc::OnOpenDocument(const std::string& path)
{
    std::string bytes;
    const keywords::ReadOutcome outcome = keywords::ReadWholeFile(path, bytes);
    switch (outcome.stage) {
    case keywords::ReadOutcome::Stage::Done:
        break;
    case keywords::ReadOutcome::Stage::OpenFailed:
        return {false, keywords::OpenErrorText(outcome.err, path)};
    case keywords::ReadOutcome::Stage::ReadFailed:
        // Whatever the document held is gone once reading began.
        OnNewDocument();
        return {false, keywords::OpenErrorText(outcome.err, path)};
    }
    keywords::KeywordFile file = keywords::ReadKeywordFile(bytes);
    m_arrKeywords = std::move(file.keywords);
    m_encoding = file.encoding;
    m_strResultPath.clear();
    m_strPathName = path;
    m_bModified = false;
    return {};
}

CDocFileResult CVistrelDoc::OnSaveDocument(const std::string& path)
{
    const keywords::WriteOutcome outcome =
        keywords::ReplaceFile(path, keywords::WriteKeywordFile(m_arrKeywords, m_encoding));
    if (!outcome.ok)
        return {false, keywords::SaveErrorText(outcome.err, path)};
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
