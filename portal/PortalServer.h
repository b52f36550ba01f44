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
    int port() const { return m_port; }
    // Serves until stop(); call after bind().
    bool run();
    // From any thread: ends waiting requests and the accept loop.
    void stop();

private:
    void installHooks();

    PortalState m_state;
    httplib::Server m_server;
    int m_port = -1;
    std::atomic<bool> m_finished{false};
};
