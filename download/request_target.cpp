#include "download/request_target.h"

#include <algorithm>
#include <curl/curl.h>

namespace download {

bool IsPlainServer(std::string_view server)
{
    return std::all_of(server.begin(), server.end(), [](unsigned char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
               c == '.' || c == '-' || c == '_' || c == ':' || c == '[' || c == ']';
    });
}

bool IsSafeTarget(std::string_view target)
{
    return std::none_of(target.begin(), target.end(),
                        [](unsigned char c) { return c <= 0x20 || c == 0x7F; });
}

std::string OriginForm(std::string_view target)
{
    std::string origin = target.starts_with('/') ? "" : "/";
    origin.append(target);
    return origin;
}

std::string PathOf(std::string_view target)
{
    return std::string(target.substr(0, target.find_first_of("?#")));
}

curl_slist* FixedRequestHeaders()
{
    // No Accept line, a page is always fetched afresh, and the connection is asked to stay
    // open, so that a worker keeps one for all its jobs where the server agrees (HTTP/1.0
    // closes it after each answer otherwise).
    curl_slist* headers = nullptr;
    for (const char* header : {"Accept:", "Pragma: no-cache", "Connection: Keep-Alive"}) {
        curl_slist* list = curl_slist_append(headers, header);
        if (!list) {
            curl_slist_free_all(headers);
            return nullptr;
        }
        headers = list;
    }
    return headers;
}

} // namespace download
