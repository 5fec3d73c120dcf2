#pragma once

#include <string>
#include <string_view>

struct curl_slist;

// What a worker checks and forms before it sends a request.
namespace download {

// A host name or address with an optional ":port"; anything else (a path, user data, blanks)
// would change which server the requests go to.
bool IsPlainServer(std::string_view server);

// False for a target with a blank or a control byte, which would break the request line.
bool IsSafeTarget(std::string_view target);

// The target as the request line carries it to the server itself: as given, with the "/" that
// HTTP requires in front when it has none.
std::string OriginForm(std::string_view target);

// What a relative redirect is resolved against: the target's path, without its query.
std::string PathOf(std::string_view target);

// The headers every request carries besides libcurl's own, for CURLOPT_HTTPHEADER (free them
// with curl_slist_free_all); null when memory ran out.
curl_slist* FixedRequestHeaders();

} // namespace download
