#pragma once

// libcurl's process-wide set-up. main() holds one of these for the program's whole life,
// created before the first worker starts and destroyed after the last one has ended: libcurl's
// global init and cleanup are not thread-safe and must not run while workers exist.
class CCurlGlobal
{
public:
    CCurlGlobal();
    ~CCurlGlobal();
    CCurlGlobal(const CCurlGlobal&) = delete;
    CCurlGlobal& operator=(const CCurlGlobal&) = delete;

    // False when libcurl could not be set up; workers will then fail to start and log why.
    bool IsReady() const { return m_bReady; }

private:
    bool m_bReady;
};
