#include "platform/text_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// The raw bytes one piece may need: its 4094 bytes and, when its last is the LF of a CR LF
// pair, the CR as well. A CR needs the byte after it to tell whether it ends the line.
constexpr std::size_t kLookahead = CTextReader::kMaxPieceBytes + 1;
static_assert(kLookahead <= CTextReader::kBufferBytes);

} // namespace

CTextReader::~CTextReader()
{
    Close();
}

bool CTextReader::Open(const std::string& path)
{
    Close();
    m_nPos = m_nEnd = 0;
    m_bEof = m_bError = false;
    if (!m_pBuffer)
        m_pBuffer = std::make_unique_for_overwrite<char[]>(kBufferBytes);
    m_fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    // A folder opens here but reads as nothing; it must not pass for an empty file.
    struct stat info = {};
    if (fstat(m_fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        Close();
        errno = EISDIR;
        return false;
    }
    return true;
}

void CTextReader::Close()
{
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
}

// Keeps the unread bytes, moved to the front, and reads behind them until a piece is sure
// to be whole or the file has ended.
void CTextReader::Fill()
{
    if (m_nEnd - m_nPos >= kLookahead || m_bEof || m_fd < 0)
        return;
    std::memmove(m_pBuffer.get(), m_pBuffer.get() + m_nPos, m_nEnd - m_nPos);
    m_nEnd -= m_nPos;
    m_nPos = 0;
    while (m_nEnd < kLookahead && !m_bEof) {
        const ssize_t n = read(m_fd, m_pBuffer.get() + m_nEnd, kBufferBytes - m_nEnd);
        if (n > 0) {
            m_nEnd += static_cast<std::size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            m_bError = m_bError || n < 0;
            m_bEof = true;
        }
    }
}

// The common case without a copy: a line end (LF or CR LF) within reach and no other CR, or
// a whole piece of a long line without any CR.
bool CTextReader::TakeLine(std::string_view& piece)
{
    char* begin = m_pBuffer.get() + m_nPos;
    const std::size_t span = std::min(m_nEnd - m_nPos, kMaxPieceBytes);
    auto* lf = static_cast<char*>(std::memchr(begin, '\n', span));
    const std::size_t before = lf ? static_cast<std::size_t>(lf - begin) : span;
    auto* cr = static_cast<char*>(std::memchr(begin, '\r', before));
    if (lf != nullptr && cr == nullptr) {
        piece = std::string_view(begin, before + 1);
        m_nPos += before + 1;
        return true;
    }
    if (lf != nullptr && cr == lf - 1) {
        *cr = '\n'; // the pair reads as one LF; the buffer is past these bytes anyway
        piece = std::string_view(begin, before);
        m_nPos += before + 1;
        return true;
    }
    if (lf == nullptr && cr == nullptr && span == kMaxPieceBytes) {
        piece = std::string_view(begin, span);
        m_nPos += span;
        return true;
    }
    return false;
}

// Any other piece, byte by byte, turning CR LF into LF in place. Needs kLookahead bytes in
// the buffer unless the file has ended.
void CTextReader::TakeBytes(std::string_view& piece)
{
    char* begin = m_pBuffer.get() + m_nPos;
    const std::size_t available = m_nEnd - m_nPos;
    std::size_t in = 0;
    std::size_t out = 0;
    while (out < kMaxPieceBytes && in < available) {
        char byte = begin[in++];
        if (byte == '\r' && in < available && begin[in] == '\n') {
            byte = '\n';
            ++in;
        }
        begin[out++] = byte;
        if (byte == '\n')
            break;
    }
    piece = std::string_view(begin, out);
    m_nPos += in;
}

bool CTextReader::ReadPiece(std::string_view& piece)
{
    piece = {};
    if (m_fd < 0)
        return false;
    if (!TakeLine(piece)) {
        Fill();
        if (!TakeLine(piece))
            TakeBytes(piece);
    }
    return !piece.empty();
}

bool CTextReader::ReadLine(std::string& piece)
{
    std::string_view view;
    const bool read = ReadPiece(view);
    piece.assign(view);
    return read;
}

CTextWriter::CTextWriter(ReplaceRules rules)
    : m_file(rules)
{}

CTextWriter::~CTextWriter()
{
    Discard();
}

bool CTextWriter::Open(const std::string& path)
{
    m_bFailed = false;
    m_nUsed = 0;
    if (!m_pBuffer)
        m_pBuffer = std::make_unique_for_overwrite<char[]>(kBufferBytes);
    return static_cast<bool>(m_file.Begin(path));
}

void CTextWriter::Flush()
{
    if (!m_bFailed && !m_file.Write(std::string_view(m_pBuffer.get(), m_nUsed)))
        m_bFailed = true;
    m_nUsed = 0;
}

void CTextWriter::Put(const char* data, std::size_t size)
{
    while (size > 0 && !m_bFailed) {
        if (m_nUsed == kBufferBytes)
            Flush();
        const std::size_t n = std::min(size, kBufferBytes - m_nUsed);
        std::memcpy(m_pBuffer.get() + m_nUsed, data, n);
        m_nUsed += n;
        data += n;
        size -= n;
    }
}

void CTextWriter::Write(std::string_view text)
{
    if (!m_file.IsOpen()) {
        m_bFailed = true;
        return;
    }
    while (!text.empty()) {
        const auto* lf = static_cast<const char*>(std::memchr(text.data(), '\n', text.size()));
        const std::size_t run = lf ? static_cast<std::size_t>(lf - text.data()) : text.size();
        Put(text.data(), run);
        if (lf == nullptr)
            break;
        Put("\r\n", 2);
        text.remove_prefix(run + 1);
    }
}

void CTextWriter::WritePiece(std::string_view piece)
{
    if (!m_file.IsOpen()) {
        m_bFailed = true;
        return;
    }
    if (piece.empty() || piece.back() != '\n') {
        Put(piece.data(), piece.size());
        return;
    }
    Put(piece.data(), piece.size() - 1);
    Put("\r\n", 2);
}

bool CTextWriter::Close()
{
    if (!m_file.IsOpen())
        return !m_bFailed;
    Flush();
    if (m_bFailed) {
        m_file.Discard();
        return false;
    }
    m_bFailed = !m_file.Commit();
    return !m_bFailed;
}

void CTextWriter::Discard()
{
    m_file.Discard();
    m_nUsed = 0;
}

} // namespace platform
