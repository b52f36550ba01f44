#include "Options.h"
#include "PortalServer.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <pthread.h>
#include <thread>

int main(int argc, char **argv)
{
    PortalOptions options;
#ifdef PORTAL_DEFAULT_WWW
    options.www = PORTAL_DEFAULT_WWW;
#endif
    std::string error;
    if (!parseArguments(argc, argv, options, error)) {
        if (!error.empty())
            std::cerr << "portal: " << error << "\n";
        std::cerr << usageText();
        return error.empty() ? 0 : 2;
    }

    // Signals go to one waiting thread; the server threads inherit the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    PortalServer server(options);
    if (!server.bind(error)) {
        std::cerr << "portal: " << error << "\n";
        return 1;
    }
    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.stop();
    });
    std::printf("portal listening on %s://127.0.0.1:%d\n", server.secure() ? "https" : "http", server.port());
    std::fflush(stdout);

    const bool ok = server.run();
    kill(getpid(), SIGTERM); // wakes the stopper when the server ended by itself; blocked otherwise
    stopper.join();
    return ok ? 0 : 1;
}
