#pragma once

#include "State.h"

#include <httplib.h>

#include <atomic>
#include <memory>
#include <string>

// The HTTP server on 127.0.0.1 with every route, the request log and the fault switches; over TLS
// when the options name a certificate and key.
class PortalServer
{
public:
    explicit PortalServer(PortalOptions options);

    // Binds the port of the options (0: a free one). False with a reason when that fails.
    bool bind(std::string &error);
    int port() const { return m_port; }
    bool secure() const { return !m_state.options.tlsCert.empty(); }
    // Serves until stop(); call after bind().
    bool run();
    // From any thread: ends waiting requests and the accept loop.
    void stop();

private:
    void installHooks();

    PortalState m_state;
    std::unique_ptr<httplib::Server> m_server;
    int m_port = -1;
    std::atomic<bool> m_finished{false};
};
