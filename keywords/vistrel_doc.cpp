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
    m_pathName.clear();
    m_modified = false;
    m_strResultPath.clear();
    m_arrKeywords.clear();
    m_encoding = {};
    return true;
}

keywords::DocFileResult CVistrelDoc::OnOpenDocument(const std::string& path)
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
    m_pathName = path;
    m_modified = false;
    return {};
}

keywords::DocFileResult CVistrelDoc::OnSaveDocument(const std::string& path)
{
    const keywords::WriteOutcome outcome =
        keywords::ReplaceFile(path, keywords::WriteKeywordFile(m_arrKeywords, m_encoding));
    if (!outcome.ok)
        return {false, keywords::SaveErrorText(outcome.err, path)};
    m_pathName = path;
    m_modified = false;
    return {};
}

std::string CVistrelDoc::GetTitle() const
{
    if (m_pathName.empty())
        return std::string(kUntitledTitle);
    return keywords::FileNameOf(m_pathName);
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
        keywords::FormatResultPath(cacheFolder, keywords::ResultBaseName(m_pathName), regionName,
                                   keywords::ResultDateText(date), pluginTitle);
}

std::ptrdiff_t CVistrelDoc::GetKeywordCount() const
{
    return static_cast<std::ptrdiff_t>(m_arrKeywords.size());
}

bool CVistrelDoc::IsValidIndex(std::ptrdiff_t index) const
{
    return index >= 0 && index < GetKeywordCount();
}

std::optional<std::string> CVistrelDoc::GetKeyword(std::ptrdiff_t index) const
{
    if (!IsValidIndex(index))
        return std::nullopt;
    return m_arrKeywords[static_cast<std::size_t>(index)];
}

void CVistrelDoc::AddKeyword(std::string keyword)
{
    m_arrKeywords.push_back(std::move(keyword));
}

bool CVistrelDoc::SetKeyword(std::ptrdiff_t index, std::string keyword)
{
    if (!IsValidIndex(index))
        return false;
    m_arrKeywords[static_cast<std::size_t>(index)] = std::move(keyword);
    return true;
}

bool CVistrelDoc::RemoveKeyword(std::ptrdiff_t index)
{
    if (!IsValidIndex(index))
        return false;
    m_arrKeywords.erase(m_arrKeywords.begin() + index);
    return true;
}

bool CVistrelDoc::InsertKeyword(std::ptrdiff_t index, std::string keyword)
{
    if (index < 0 || index > GetKeywordCount())
        return false;
    m_arrKeywords.insert(m_arrKeywords.begin() + index, std::move(keyword));
    return true;
}
