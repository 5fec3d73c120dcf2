// listing-site: the sample television listing site. See SiteHelpText() for what it serves.
#include "tools/listing_site/listing_server.h"
#include "tools/listing_site/site_options.h"

#include <csignal>
#include <cstdio>
#include <pthread.h>

int main(int argc, char** argv)
{
    std::string error;
    const auto options =
        listing_site::ParseSiteOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        if (error.empty()) {
            std::fputs(listing_site::SiteHelpText(), stdout);
            return 0;
        }
        std::fprintf(stderr, "listing-site: %s\nTry 'listing-site --help'.\n", error.c_str());
        return 2;
    }

    // The server's threads inherit this mask, so the signals reach only sigwait below.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    listing_site::CListingServer server(*options);
    const int port = server.Start();
    if (port < 0) {
        std::fprintf(stderr, "listing-site: cannot listen on 127.0.0.1 port %d\n", options->port);
        return 1;
    }
    std::printf("%d\n", port);
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    server.Stop();
    return 0;
}
