#include "download/system_proxy.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace download {

namespace {

std::string_view Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

struct CAddress
{
    int family = 0;
    unsigned char bytes[16] = {};
};

std::optional<CAddress> ParseAddress(std::string_view text)
{
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']')
        text = text.substr(1, text.size() - 2);
    const std::string copy(text);
    CAddress address;
    for (const int family : {AF_INET, AF_INET6}) {
        if (inet_pton(family, copy.c_str(), address.bytes) == 1) {
            address.family = family;
            return address;
        }
    }
    return std::nullopt;
}

bool CoversAddress(const CAddress& host, std::string_view token)
{
    const std::size_t slash = token.find('/');
    const std::optional<CAddress> net = ParseAddress(token.substr(0, slash));
    if (!net || net->family != host.family)
        return false;
    const int size = host.family == AF_INET ? 32 : 128;
    int bits = size;
    if (slash != std::string_view::npos) {
        const std::string text(token.substr(slash + 1));
        char* end = nullptr;
        const long value = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || value < 0 || value > size)
            return false;
        bits = static_cast<int>(value);
    }
    const int whole = bits / 8;
    if (std::memcmp(host.bytes, net->bytes, static_cast<std::size_t>(whole)) != 0)
        return false;
    if (bits % 8 == 0)
        return true;
    const auto mask = static_cast<unsigned char>(0xFF << (8 - bits % 8));
    return (host.bytes[whole] & mask) == (net->bytes[whole] & mask);
}

bool CoversName(std::string_view host, std::string_view token)
{
    if (token.starts_with('.'))
        token.remove_prefix(1);
    if (token.ends_with('.'))
        token.remove_suffix(1);
    if (token.empty())
        return false;
    if (EqualNoCase(host, token))
        return true;
    return host.size() > token.size() && host[host.size() - token.size() - 1] == '.' &&
           EqualNoCase(host.substr(host.size() - token.size()), token);
}

} // namespace

bool IsNoProxyHost(std::string_view host, std::string_view list)
{
    if (host.ends_with('.'))
        host.remove_suffix(1);
    const std::optional<CAddress> address = ParseAddress(host);
    while (!list.empty()) {
        const std::size_t end = list.find_first_of(", \t");
        const std::string_view token = list.substr(0, end);
        list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
        if (token.empty())
            continue;
        if (token == "*")
            return true;
        if (address ? CoversAddress(*address, token) : CoversName(host, token))
            return true;
    }
    return false;
}

std::string SystemProxyFor(std::string_view host)
{
    std::string_view noProxy = Env("no_proxy");
    if (noProxy.empty())
        noProxy = Env("NO_PROXY");
    if (IsNoProxyHost(host, noProxy))
        return {};
    // HTTP_PROXY is left alone: a CGI program gets it from a request's "Proxy:" header.
    for (const char* name : {"http_proxy", "all_proxy", "ALL_PROXY"})
        if (const std::string_view proxy = Env(name); !proxy.empty())
            return std::string(proxy);
    return {};
}

} // namespace download
