#include "app/batch/session_bus.h"

#include <cctype>
#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace batch {

platform::Result<std::string> SessionBusAddress()
{
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
        return std::string(address);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder =
        runtime && *runtime ? runtime : "/run/user/" + std::to_string(::getuid());
    const std::string socket = folder + "/bus";
    struct stat status = {};
    if (::stat(socket.c_str(), &status) != 0 || !S_ISSOCK(status.st_mode))
        return platform::Failure{"セッションバスがありません"};
    // D-Bus addresses escape bytes outside a small set; a runtime folder rarely needs it.
    std::string escaped;
    for (const unsigned char c : socket) {
        static const char hex[] = "0123456789abcdef";
        if (std::isalnum(c) ||
            std::string_view("-_/.\\*").find(static_cast<char>(c)) != std::string_view::npos)
            escaped += static_cast<char>(c);
        else
            escaped += std::string{'%', hex[c >> 4], hex[c & 15]};
    }
    return "unix:path=" + escaped;
}

} // namespace batch
