#pragma once

namespace download {

// libcurl's process-wide set-up. main() holds one of these for the program's whole life,
// created before the first worker starts and destroyed after the last one has ended: libcurl's
// global init and cleanup are not thread-safe and must not run while workers exist.
class CurlGlobal
{
public:
    CurlGlobal();
    ~CurlGlobal();
    CurlGlobal(const CurlGlobal&) = delete;
    CurlGlobal& operator=(const CurlGlobal&) = delete;

    // False when libcurl could not be set up; workers will then fail to start and log why.
    bool IsReady() const { return m_ready; }

private:
    bool m_ready;
};

} // namespace download
