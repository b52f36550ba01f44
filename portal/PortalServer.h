#pragma once

#include "State.h"

#include <httplib.h>

#include <atomic>
#include <string>

// The HTTP server on 127.0.0.1 with every route, the request log and the fault switches.
class PortalServer
{
public:
    explicit PortalServer(PortalOptions options);

    // Binds the port of the options (0: a free one). False with a reason when that fails.
    bool bind(std::string &error);
    int port() const { return port_; }
    // Serves until stop(); call after bind().
    bool run();
    // From any thread: ends waiting requests and the accept loop.
    void stop();

private:
    void installHooks();

    PortalState state_;
    httplib::Server server_;
    int port_ = -1;
    std::atomic<bool> finished_{false};
};
