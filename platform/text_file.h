#pragma once

#include "platform/atomic_file.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// Text-mode files as the plug-in contract's page and template files use them: a CR LF pair
// reads as LF, and every LF written is written as CR LF. All other bytes pass unchanged.
// Both sides stream through a buffer of their own; no file is ever held whole.
namespace platform {

class TextReader
{
public:
    // A line is read into a 4096-byte buffer with a read limit of 4095 bytes, so one piece
    // holds at most 4094 bytes including its LF; a longer line arrives as several pieces.
    static constexpr std::size_t kMaxPieceBytes = 4094;
    // Bytes asked of the file at a time.
    static constexpr std::size_t kBufferBytes = std::size_t{256} * 1024;

    TextReader() = default;
    ~TextReader();
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    // Opens a file for reading; a folder fails to open (EISDIR). A reader may open one file
    // after another and keeps its buffer between them.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }
    void Close();

    // The next piece of a line, its LF included when the line ended within the piece.
    // False at the end of the file or on a read error.
    bool ReadLine(std::string& piece);
    // The same without a copy: the piece lies in the reader's buffer and stays valid until
    // the next read, Open or Close.
    bool ReadPiece(std::string_view& piece);
    // True once a read has failed: the file ended early, not at its real end.
    bool HasError() const { return m_error; }

private:
    bool TakeLine(std::string_view& piece);
    void TakeBytes(std::string_view& piece);
    void Fill();

    int m_fd = -1;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_pos = 0; // first unread byte
    std::size_t m_end = 0; // end of the bytes read
    bool m_eof = false;
    bool m_error = false;
};

// Writes a file whole or not at all: the text goes into a file beside the path, which takes
// the path's place only when Close succeeds (platform/atomic_file.h). Until then, and after
// any failure, the path keeps what it had.
class TextWriter
{
public:
    // Bytes handed to the file at a time.
    static constexpr std::size_t kBufferBytes = std::size_t{256} * 1024;

    explicit TextWriter(ReplaceRules rules = {});
    // A file not closed is discarded.
    ~TextWriter();
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    // Begins a new file for path; fails where it could not be made (see AtomicFile::Begin).
    bool Open(const std::string& path);
    bool IsOpen() const { return m_file.IsOpen(); }

    // Writes text with every LF as CR LF. A failed write is remembered for Close.
    void Write(std::string_view text);
    // The same for text with no LF but perhaps its last byte, as a piece that TextReader
    // gives and any part of one are; saves looking through the text for line ends.
    void WritePiece(std::string_view piece);

    // Writes what is buffered and puts the file in place; false when any write, the close or
    // the rename failed.
    bool Close();
    // Drops what was written.
    void Discard();

private:
    void Put(const char* data, std::size_t size);
    void Flush();

    AtomicFile m_file;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
    bool m_failed = false;
};

} // namespace platform
