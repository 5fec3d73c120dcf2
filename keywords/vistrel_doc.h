#pragma once

#include "keywords/keyword_encoding.h"
#include "platform/result.h"

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The keyword document: the user's search keywords as kept in a keyword file, and the result
// page path of the latest search run. It draws nothing; the list view edits m_arrKeywords.
class CVistrelDoc
{
public:
    // What the framework shows when a keyword list operation gets an index out of range.
    static constexpr std::string_view kInvalidArgumentText = "An invalid argument was encountered.";
    static constexpr std::string_view kUntitledTitle = "Untitled";

    CVistrelDoc() = default;
    virtual ~CVistrelDoc();
    CVistrelDoc(const CVistrelDoc&) = delete;
    CVistrelDoc& operator=(const CVistrelDoc&) = delete;

    // New: no path, no keywords, no result path, not modified, code page 932. Always succeeds.
    virtual bool OnNewDocument();
    // Reads the keyword file at path, in the encoding its bytes show (see DetectEncoding).
    // When it cannot be opened the document stays as it was; when reading fails part-way the
    // document becomes a new, empty one. A failure's text is the one for the error box.
    [[nodiscard]] virtual platform::Result<> OnOpenDocument(const std::string& path);
    // Writes the keywords to path in the document's encoding (with the byte order mark the
    // file was read with), replacing the file only once all of it is written; then path is
    // the document's path and the document is no longer modified.
    [[nodiscard]] virtual platform::Result<> OnSaveDocument(const std::string& path);

    // Native path bytes; empty while the document has never been saved or opened.
    const std::string& GetPathName() const { return m_strPathName; }
    // "Untitled" for a new document, else the file name of its path.
    std::string GetTitle() const;
    bool IsModified() const { return m_bModified; }
    // The encoding of the keyword file the document was read from; its keywords are in it.
    keywords::FileEncoding GetEncoding() const { return m_encoding; }
    void SetModifiedFlag(bool bModified = true) { m_bModified = bModified; }

    // Forms the result page path of a run started now from the cache folder (ending in "/"),
    // the plug-in's base name and the region name, and keeps it. Does not mark the document.
    void MakeResultPath(const std::string& cacheFolder, const std::string& pluginTitle,
                        const std::string& regionName);
    // As above for a run on the given local date.
    void MakeResultPath(const std::string& cacheFolder, const std::string& pluginTitle,
                        const std::string& regionName, const std::tm& date);
    std::string GetResultPath() const { return m_strResultPath; }

    // Keyword list operations for the list view. They change m_arrKeywords only: the view
    // marks the document with SetModifiedFlag() after each change it makes. An index out of
    // range gives false (show kInvalidArgumentText) and leaves the list unchanged. Insert
    // takes 0..count; a larger index is refused rather than padding the list with empty
    // keywords, which would leave it longer than the view's rows.
    std::ptrdiff_t GetKeywordCount() const;
    std::optional<std::string> GetKeyword(std::ptrdiff_t nIndex) const;
    void AddKeyword(std::string strKeyword);
    [[nodiscard]] bool SetKeyword(std::ptrdiff_t nIndex, std::string strKeyword);
    [[nodiscard]] bool RemoveKeyword(std::ptrdiff_t nIndex);
    [[nodiscard]] bool InsertKeyword(std::ptrdiff_t nIndex, std::string strKeyword);

    // The keywords in list order, in the bytes of GetEncoding(); empty and repeated keywords
    // allowed.
    std::vector<std::string> m_arrKeywords;

private:
    bool IsValidIndex(std::ptrdiff_t nIndex) const;

    std::string m_strPathName;
    bool m_bModified = false;
    keywords::FileEncoding m_encoding;
    // Result page of the latest run on this document; never written to the keyword file.
    std::string m_strResultPath;
};
