#pragma once

#include <cstddef>
#include <string>

namespace download {
class CJobLimits;
}

// Receives one job's response from libcurl. It keeps the final response's raw header block
// (each line ended by CR LF, then the empty line) and streams the body of a 200 response into
// the destination file chunk by chunk, never holding it whole. Bodies of other responses
// (redirects, errors) are read and dropped; the file is then never opened.
class CResponseSink
{
public:
    // Only this much of the header block is ever logged, so no more is kept.
    static constexpr std::size_t kMaxHeaderBytes = 1023;

    // Every byte handed over is reported to limits, which must outlive the sink.
    CResponseSink(void* curl, std::string path, download::CJobLimits& limits);
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

private:
    bool WriteAll(const char* data, std::size_t size);

    void* m_pCurl;
    std::string m_strPath;
    download::CJobLimits& m_limits;
    int m_fd = -1;
    std::string m_strHeaders;
    std::string m_strFileError;
};
