#include "download/curl_global.h"

#include <curl/curl.h>

CCurlGlobal::CCurlGlobal()
    : m_bReady(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK)
{}

CCurlGlobal::~CCurlGlobal()
{
    if (m_bReady)
        curl_global_cleanup();
}
