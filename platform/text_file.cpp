#include "platform/text_file.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace platform {

CTextReader::~CTextReader()
{
    Close();
}

bool CTextReader::Open(const std::string& path)
{
    Close();
    m_pFile = std::fopen(path.c_str(), "rb");
    m_nPos = m_nEnd = 0;
    m_bError = false;
    // A folder opens here but reads as nothing; it must not pass for an empty file.
    struct stat info = {};
    if (m_pFile != nullptr && fstat(fileno(m_pFile), &info) == 0 && S_ISDIR(info.st_mode)) {
        Close();
        errno = EISDIR;
    }
    return m_pFile != nullptr;
}

void CTextReader::Close()
{
    if (m_pFile != nullptr) {
        std::fclose(m_pFile);
        m_pFile = nullptr;
    }
}

int CTextReader::NextByte()
{
    if (m_nPos == m_nEnd) {
        if (m_pFile == nullptr)
            return -1;
        m_nEnd = std::fread(m_buffer, 1, sizeof m_buffer, m_pFile);
        m_nPos = 0;
        if (m_nEnd == 0) {
            m_bError = m_bError || std::ferror(m_pFile) != 0;
            return -1;
        }
    }
    return m_buffer[m_nPos++];
}

bool CTextReader::ReadLine(std::string& piece)
{
    piece.clear();
    while (piece.size() < kMaxPieceBytes) {
        int byte = NextByte();
        if (byte < 0)
            break;
        if (byte == '\r') {
            int next = NextByte();
            if (next == '\n')
                byte = '\n';
            else if (next >= 0)
                --m_nPos; // NextByte just filled or advanced the buffer: the byte is still there
        }
        piece.push_back(static_cast<char>(byte));
        if (byte == '\n')
            break;
    }
    return !piece.empty();
}

CTextWriter::~CTextWriter()
{
    Close();
}

bool CTextWriter::Open(const std::string& path)
{
    Close();
    m_bFailed = false;
    m_pFile = std::fopen(path.c_str(), "wb");
    return m_pFile != nullptr;
}

void CTextWriter::Write(std::string_view text)
{
    if (m_pFile == nullptr) {
        m_bFailed = true;
        return;
    }
    while (!text.empty()) {
        std::string_view::size_type lf = text.find('\n');
        std::string_view run = text.substr(0, lf);
        if (!run.empty() && std::fwrite(run.data(), 1, run.size(), m_pFile) != run.size())
            m_bFailed = true;
        if (lf == std::string_view::npos)
            break;
        if (std::fwrite("\r\n", 1, 2, m_pFile) != 2)
            m_bFailed = true;
        text.remove_prefix(lf + 1);
    }
}

bool CTextWriter::Close()
{
    if (m_pFile == nullptr)
        return !m_bFailed;
    if (std::fflush(m_pFile) != 0 || std::ferror(m_pFile))
        m_bFailed = true;
    if (std::fclose(m_pFile) != 0)
        m_bFailed = true;
    m_pFile = nullptr;
    return !m_bFailed;
}

} // namespace platform
