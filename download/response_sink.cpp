#include "download/response_sink.h"

#include "download/job_limits.h"
#include "platform/file_bytes.h"
#include "platform/file_error.h"

#include <cerrno>
#include <curl/curl.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace download {

ResponseSink::ResponseSink(void* curl, std::string path, JobLimits& limits, std::uint64_t pageLimit)
    : m_curl(curl)
    , m_path(std::move(path))
    , m_limits(limits)
    , m_pageLimit(pageLimit)
{}

ResponseSink::~ResponseSink()
{
    CloseFile();
}

std::size_t ResponseSink::OnHeader(char* data, std::size_t size, std::size_t count, void* userdata)
{
    auto* self = static_cast<ResponseSink*>(userdata);
    const std::size_t total = size * count;
    self->m_limits.Touch();
    std::string_view line(data, total);
    // A status line starts a new response (after a redirect); only the last one counts.
    if (line.starts_with("HTTP/")) {
        self->m_headers.clear();
        self->m_bodyBytes = 0;
    }
    const bool wasComplete = self->m_head.IsComplete();
    self->m_head.AddLine(line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    std::string& block = self->m_headers;
    if (block.size() < kMaxHeaderBytes) {
        block.append(line);
        block.append("\r\n");
        if (block.size() > kMaxHeaderBytes)
            block.resize(kMaxHeaderBytes);
    }
    if (!wasComplete && self->m_head.IsComplete() && !self->CheckHead())
        return 0; // makes libcurl stop before the body
    return total;
}

std::size_t ResponseSink::OnBody(char* data, std::size_t size, std::size_t count, void* userdata)
{
    auto* self = static_cast<ResponseSink*>(userdata);
    const std::size_t total = size * count;
    self->m_limits.Touch();
    const long status = self->Status();
    self->m_bodyBytes += total;
    if (self->m_bodyBytes > self->m_pageLimit) {
        // A page cut at the limit is no page, and the disk is not the server's to fill.
        self->m_fault = AnswerFault::TooLarge;
        if (status == 200)
            self->EmptyFile();
        return 0;
    }
    if (status != 200)
        return total;
    if (!self->StartPage())
        return 0; // makes libcurl stop the transfer with a write error
    return self->WriteAll(data, total) ? total : 0;
}

long ResponseSink::Status() const
{
    long status = 0;
    curl_easy_getinfo(static_cast<CURL*>(m_curl), CURLINFO_RESPONSE_CODE, &status);
    return status;
}

bool ResponseSink::CheckHead()
{
    if (Status() != 200)
        return true; // its body is dropped, whatever it holds
    m_fault = m_head.GetFault();
    const auto length = m_head.GetContentLength();
    if (m_fault == AnswerFault::None && length && *length > m_pageLimit)
        m_fault = AnswerFault::TooLarge;
    return m_fault == AnswerFault::None;
}

bool ResponseSink::OpenFile()
{
    // Not O_TRUNC: on ext4, cutting a file to empty, even one that is empty already, makes its
    // close write the data out at once (the guard for files rewritten in place), and deleting
    // a run's page files afterwards then costs milliseconds each. Only a file with bytes in it
    // is cut, once the page comes.
    m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    return m_fd >= 0 || FailFile(errno);
}

bool ResponseSink::StartPage()
{
    if (m_pageStarted)
        return true;
    m_pageStarted = true;
    struct stat status = {};
    if (m_fd < 0 || ::fstat(m_fd, &status) != 0 ||
        (status.st_size > 0 && ::ftruncate(m_fd, 0) != 0))
        return FailFile(m_fd < 0 ? EBADF : errno);
    return true;
}

bool ResponseSink::WriteAll(const char* data, std::size_t size)
{
    // The cause tells a full disk from the rest.
    if (const int err = platform::WriteAll(m_fd, std::string_view(data, size)); err != 0)
        return FailFile(err);
    return true;
}

bool ResponseSink::EmptyFile()
{
    if (m_fd >= 0 && ::ftruncate(m_fd, 0) != 0)
        return FailFile(errno);
    return CloseFile();
}

bool ResponseSink::FailFile(int error)
{
    if (m_fileError.empty())
        m_fileError = platform::FileErrorTextFromErrno(error, m_path);
    const int fd = m_fd;
    m_fd = -1;
    if (fd >= 0)
        ::close(fd);
    return false;
}

bool ResponseSink::CloseFile()
{
    if (m_fd < 0)
        return true;
    const int rc = ::close(m_fd);
    const int err = errno;
    m_fd = -1;
    if (rc != 0 && m_fileError.empty()) {
        // Delayed write errors surface here (a full disk on a network file system, say).
        m_fileError = platform::FileErrorTextFromErrno(err, m_path);
        return false;
    }
    return rc == 0;
}

} // namespace download
