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
constexpr std::size_t kLookahead = TextReader::kMaxPieceBytes + 1;
static_assert(kLookahead <= TextReader::kBufferBytes);

} // namespace

TextReader::~TextReader()
{
    Close();
}

bool TextReader::Open(const std::string& path)
{
    Close();
    m_pos = m_end = 0;
    m_eof = m_error = false;
    if (!m_buffer)
        m_buffer = std::make_unique_for_overwrite<char[]>(kBufferBytes);
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

void TextReader::Close()
{
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
}

// Keeps the unread bytes, moved to the front, and reads behind them until a piece is sure
// to be whole or the file has ended.
void TextReader::Fill()
{
    if (m_end - m_pos >= kLookahead || m_eof || m_fd < 0)
        return;
    std::memmove(m_buffer.get(), m_buffer.get() + m_pos, m_end - m_pos);
    m_end -= m_pos;
    m_pos = 0;
    while (m_end < kLookahead && !m_eof) {
        const ssize_t n = read(m_fd, m_buffer.get() + m_end, kBufferBytes - m_end);
        if (n > 0) {
            m_end += static_cast<std::size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            m_error = m_error || n < 0;
            m_eof = true;
        }
    }
}

// The common case without a copy: a line end (LF or CR LF) within reach and no other CR, or
// a whole piece of a long line without any CR.
bool TextReader::TakeLine(std::string_view& piece)
{
    char* begin = m_buffer.get() + m_pos;
    const std::size_t span = std::min(m_end - m_pos, kMaxPieceBytes);
    auto* lf = static_cast<char*>(std::memchr(begin, '\n', span));
    const std::size_t before = lf ? static_cast<std::size_t>(lf - begin) : span;
    auto* cr = static_cast<char*>(std::memchr(begin, '\r', before));
    if (lf != nullptr && cr == nullptr) {
        piece = std::string_view(begin, before + 1);
        m_pos += before + 1;
        return true;
    }
    if (lf != nullptr && cr == lf - 1) {
        *cr = '\n'; // the pair reads as one LF; the buffer is past these bytes anyway
        piece = std::string_view(begin, before);
        m_pos += before + 1;
        return true;
    }
    if (lf == nullptr && cr == nullptr && span == kMaxPieceBytes) {
        piece = std::string_view(begin, span);
        m_pos += span;
        return true;
    }
    return false;
}

// Any other piece, byte by byte, turning CR LF into LF in place. Needs kLookahead bytes in
// the buffer unless the file has ended.
void TextReader::TakeBytes(std::string_view& piece)
{
    char* begin = m_buffer.get() + m_pos;
    const std::size_t available = m_end - m_pos;
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
    m_pos += in;
}

bool TextReader::ReadPiece(std::string_view& piece)
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

bool TextReader::ReadLine(std::string& piece)
{
    std::string_view view;
    const bool read = ReadPiece(view);
    piece.assign(view);
    return read;
}

TextWriter::TextWriter(ReplaceRules rules)
    : m_file(rules)
{}

TextWriter::~TextWriter()
{
    Discard();
}

bool TextWriter::Open(const std::string& path)
{
    m_failed = false;
    m_used = 0;
    if (!m_buffer)
        m_buffer = std::make_unique_for_overwrite<char[]>(kBufferBytes);
    return static_cast<bool>(m_file.Begin(path));
}

void TextWriter::Flush()
{
    if (!m_failed && !m_file.Write(std::string_view(m_buffer.get(), m_used)))
        m_failed = true;
    m_used = 0;
}

void TextWriter::Put(const char* data, std::size_t size)
{
    while (size > 0 && !m_failed) {
        if (m_used == kBufferBytes)
            Flush();
        const std::size_t n = std::min(size, kBufferBytes - m_used);
        std::memcpy(m_buffer.get() + m_used, data, n);
        m_used += n;
        data += n;
        size -= n;
    }
}

void TextWriter::Write(std::string_view text)
{
    if (!m_file.IsOpen()) {
        m_failed = true;
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

void TextWriter::WritePiece(std::string_view piece)
{
    if (!m_file.IsOpen()) {
        m_failed = true;
        return;
    }
    if (piece.empty() || piece.back() != '\n') {
        Put(piece.data(), piece.size());
        return;
    }
    Put(piece.data(), piece.size() - 1);
    Put("\r\n", 2);
}

bool TextWriter::Close()
{
    if (!m_file.IsOpen())
        return !m_failed;
    Flush();
    if (m_failed) {
        m_file.Discard();
        return false;
    }
    m_failed = !m_file.Commit();
    return !m_failed;
}

void TextWriter::Discard()
{
    m_file.Discard();
    m_used = 0;
}

} // namespace platform
