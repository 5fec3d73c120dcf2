#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

// Text-mode files as the plug-in contract's page and template files use them: a CR LF pair
// reads as LF, and every LF written is written as CR LF. All other bytes pass unchanged.
namespace platform {

class CTextReader
{
public:
    // A line is read into a 4096-byte buffer with a read limit of 4095 bytes, so one piece
    // holds at most 4094 bytes including its LF; a longer line arrives as several pieces.
    static constexpr std::size_t kMaxPieceBytes = 4094;

    CTextReader() = default;
    ~CTextReader();
    CTextReader(const CTextReader&) = delete;
    CTextReader& operator=(const CTextReader&) = delete;

    // Opens a file for reading; a folder fails to open (EISDIR).
    bool Open(const std::string& path);
    bool IsOpen() const { return m_pFile != nullptr; }
    void Close();

    // The next piece of a line, its LF included when the line ended within the piece.
    // False at the end of the file or on a read error.
    bool ReadLine(std::string& piece);
    // True once a read has failed: the file ended early, not at its real end.
    bool HasError() const { return m_bError; }

private:
    int NextByte();

    std::FILE* m_pFile = nullptr;
    unsigned char m_buffer[65536];
    std::size_t m_nPos = 0;
    std::size_t m_nEnd = 0;
    bool m_bError = false;
};

class CTextWriter
{
public:
    CTextWriter() = default;
    ~CTextWriter();
    CTextWriter(const CTextWriter&) = delete;
    CTextWriter& operator=(const CTextWriter&) = delete;

    // Creates the file or cuts it to empty. On failure errno tells why.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_pFile != nullptr; }

    // Writes text with every LF as CR LF. A failed write is remembered for Close.
    void Write(std::string_view text);

    // Flushes and closes; false when any write, the flush or the close failed.
    bool Close();

private:
    std::FILE* m_pFile = nullptr;
    bool m_bFailed = false;
};

} // namespace platform
