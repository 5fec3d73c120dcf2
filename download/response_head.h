#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace download {

// Why an answer's body is no page, whatever its status says.
enum class AnswerFault {
    None,
    CutShort,       // the connection closed inside the header block
    LengthConflict, // Content-Length values that disagree (in two headers or in one list)
    LengthInvalid,  // a Content-Length that is not a decimal number
    Encoded,        // a Content-Encoding other than identity: the worker never asks for one
    TooLarge,       // the body is over the page size limit
};

// The header block of one response, fed line by line as libcurl hands it over: whether it
// ended, and what it says about the body. A status line starts a new block (after a redirect
// or an interim answer); lines after the empty line (trailers) are not part of it.
class ResponseHead
{
public:
    // One line, its line end included or not.
    void AddLine(std::string_view line);

    bool IsComplete() const { return m_complete; }
    // The first of LengthConflict, LengthInvalid and Encoded the lines show, or None.
    AnswerFault GetFault() const { return m_fault; }
    // The length the block announces, when it announces one it agrees on.
    std::optional<std::uint64_t> GetContentLength() const { return m_length; }
    // The first coding other than identity, as sent but fit for a message: printable ASCII
    // only (others become '?'), at most kMaxCodingBytes.
    const std::string& GetEncoding() const { return m_encoding; }

    static constexpr std::size_t kMaxCodingBytes = 32;

private:
    void AddLength(std::string_view value);
    void AddEncoding(std::string_view value);
    void SetFault(AnswerFault fault);

    bool m_complete = false;
    AnswerFault m_fault = AnswerFault::None;
    std::optional<std::uint64_t> m_length;
    std::string m_encoding;
};

} // namespace download
