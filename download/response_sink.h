#pragma once

#include "download/response_head.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace download {

class JobLimits;

// Receives one job's response from libcurl. It keeps the final response's raw header block
// (each line ended by CR LF, then the empty line) and streams the body of a 200 response into
// the page file chunk by chunk, never holding it whole. Bodies of other responses (redirects,
// errors) are read and dropped; the page file then keeps what it held.
//
// It stops the transfer (libcurl then ends it with a write error) as soon as the answer shows
// that its body is no page: a 200 head that announces a foreign encoding, disagreeing or
// broken lengths, or a length over the page limit; or a body that grows past the limit, whose
// file is then left empty. GetFault() says which.
class ResponseSink
{
public:
    // Only this much of the header block is ever logged, so no more is kept.
    static constexpr std::size_t kMaxHeaderBytes = 1023;

    // Every byte handed over is reported to limits, which must outlive the sink. No response
    // body may be longer than pageLimit bytes.
    ResponseSink(void* curl, std::string path, JobLimits& limits, std::uint64_t pageLimit);
    ~ResponseSink();
    ResponseSink(const ResponseSink&) = delete;
    ResponseSink& operator=(const ResponseSink&) = delete;

    // libcurl callbacks; userdata is the sink.
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* userdata);
    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* userdata);

    // Opens the page file, creating it empty when it is not there; what it holds stays until
    // a page comes. Done before the request, so that every job leaves its file behind.
    bool OpenFile();
    // The page has come: the file is cut to empty (an empty 200 body never reaches OnBody).
    bool StartPage();
    // Closes the page file if open; false when the close reports a failure.
    bool CloseFile();

    bool HasFileError() const { return !m_fileError.empty(); }
    // The file error's text (no line break), empty when there was none.
    const std::string& GetFileError() const { return m_fileError; }
    const std::string& GetHeaderBlock() const { return m_headers; }
    // Why the sink stopped the transfer; None when it did not.
    AnswerFault GetFault() const { return m_fault; }
    // What the latest response's head said (and whether it ended).
    const ResponseHead& GetHead() const { return m_head; }

private:
    long Status() const;
    bool CheckHead(); // false: the answer is no page
    bool WriteAll(const char* data, std::size_t size);
    bool EmptyFile();
    bool FailFile(int error);

    void* m_curl;
    std::string m_path;
    JobLimits& m_limits;
    std::uint64_t m_pageLimit;
    int m_fd = -1;
    bool m_pageStarted = false;
    std::string m_headers;
    std::string m_fileError;
    ResponseHead m_head;
    std::uint64_t m_bodyBytes = 0; // of the latest response
    AnswerFault m_fault = AnswerFault::None;
};

} // namespace download
