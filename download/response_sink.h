#pragma once

#include "download/response_head.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace download {
class CJobLimits;
}

// Receives one job's response from libcurl. It keeps the final response's raw header block
// (each line ended by CR LF, then the empty line) and streams the body of a 200 response into
// the destination file chunk by chunk, never holding it whole. Bodies of other responses
// (redirects, errors) are read and dropped; the file is then never opened.
//
// It stops the transfer (libcurl then ends it with a write error) as soon as the answer shows
// that its body is no page: a 200 head that announces a foreign encoding, disagreeing or
// broken lengths, or a length over the page limit; or a body that grows past the limit, whose
// file is then left empty. GetFault() says which.
class CResponseSink
{
public:
    // Only this much of the header block is ever logged, so no more is kept.
    static constexpr std::size_t kMaxHeaderBytes = 1023;

    // Every byte handed over is reported to limits, which must outlive the sink. No response
    // body may be longer than pageLimit bytes.
    CResponseSink(void* curl, std::string path, download::CJobLimits& limits,
                  std::uint64_t pageLimit);
    ~CResponseSink();
    CResponseSink(const CResponseSink&) = delete;
    CResponseSink& operator=(const CResponseSink&) = delete;

    // libcurl callbacks; userdata is the sink.
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* userdata);
    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* userdata);

    // Creates the destination or cuts it to empty (an empty 200 body never reaches OnBody).
    bool OpenFile();
    bool IsFileOpen() const { return m_fd >= 0; }
    // Closes the destination if open; false when the close reports a failure.
    bool CloseFile();

    bool HasFileError() const { return !m_strFileError.empty(); }
    // The file error's text (no line break), empty when there was none.
    const std::string& GetFileError() const { return m_strFileError; }
    const std::string& GetHeaderBlock() const { return m_strHeaders; }
    // Why the sink stopped the transfer; None when it did not.
    download::AnswerFault GetFault() const { return m_fault; }
    // What the latest response's head said (and whether it ended).
    const download::CResponseHead& GetHead() const { return m_head; }

private:
    long Status() const;
    bool CheckHead(); // false: the answer is no page
    bool WriteAll(const char* data, std::size_t size);
    bool EmptyFile();

    void* m_pCurl;
    std::string m_strPath;
    download::CJobLimits& m_limits;
    std::uint64_t m_pageLimit;
    int m_fd = -1;
    std::string m_strHeaders;
    std::string m_strFileError;
    download::CResponseHead m_head;
    std::uint64_t m_bodyBytes = 0; // of the latest response
    download::AnswerFault m_fault = download::AnswerFault::None;
};
