#include "PortalServer.h"

#include "FaultResponder.h"
#include "Routes.h"

#include <sys/socket.h>

#include <thread>

namespace {

// Every connection holds a thread while it is open, and hanging requests keep theirs: room for both.
const size_t workerThreads = 64;

std::string notFoundPage()
{
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>页面不存在</title></head>"
           "<body><h1>404</h1><p>页面不存在 (not found)</p></body></html>";
}

} // namespace

PortalServer::PortalServer(PortalOptions options)
    : m_state(std::move(options))
{
    if (secure())
        m_server = std::make_unique<httplib::SSLServer>(m_state.options.tlsCert.c_str(),
                                                        m_state.options.tlsKey.c_str());
    else
        m_server = std::make_unique<httplib::Server>();
    m_server->new_task_queue = [] { return new httplib::ThreadPool(workerThreads); };
    // Short idle keep-alive so that a stop does not wait long for idle connections.
    m_server->set_keep_alive_timeout(2);
    m_server->set_keep_alive_max_count(1000);
    // httplib's default also sets SO_REUSEPORT, which lets a second portal share a taken port.
    m_server->set_socket_options([](socket_t socket) {
        int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    m_state.outage.setCloser([this] { m_server->stop(); });
    installHooks();
    addLoginRoutes(*m_server, m_state);
    addControlRoutes(*m_server, m_state);
    addDownloadRoute(*m_server, m_state);
    addStaticRoutes(*m_server, m_state);
}

void PortalServer::installHooks()
{
    m_server->set_pre_routing_handler([this](const httplib::Request &request, httplib::Response &response) {
        if (isControlPath(request.path))
            return httplib::Server::HandlerResponse::Unhandled;
        // A connection kept open from before the outage gets no answer either.
        if (m_state.outage.active()) {
            resetConnection(request);
            response.status = 503;
            return httplib::Server::HandlerResponse::Handled;
        }
        // Logged on arrival, so that a request that hangs or is reset is still seen.
        m_state.log.add(request.path, rawQueryOf(request));
        const std::optional<FaultSetting> fault = m_state.faults.find(request.path);
        if (fault && answerWithFault(*fault, request, response, m_state)) {
            if (request.path.rfind("/clilogin/", 0) == 0)
                response.set_header("Cache-Control", "no-store");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    // Fills in a page for errors that have no body of their own.
    m_server->set_error_handler(
        httplib::Server::HandlerWithResponse([](const httplib::Request &, httplib::Response &response) {
            if (!response.body.empty() || response.content_provider_ || response.has_header("Content-Type"))
                return httplib::Server::HandlerResponse::Unhandled;
            response.set_content(notFoundPage(), "text/html; charset=utf-8");
            return httplib::Server::HandlerResponse::Handled;
        }));
}

bool PortalServer::bind(std::string &error)
{
    const std::string host = "127.0.0.1";
    if (!m_server->is_valid()) {
        error = "cannot use the TLS certificate and key: " + m_state.options.tlsCert + ", " +
                m_state.options.tlsKey;
        return false;
    }
    if (!m_state.options.logFile.empty() && !m_state.log.openFile(m_state.options.logFile)) {
        error = "cannot write log file: " + m_state.options.logFile;
        return false;
    }
    if (m_state.options.port == 0) {
        m_port = m_server->bind_to_any_port(host);
    } else if (m_server->bind_to_port(host, m_state.options.port)) {
        m_port = m_state.options.port;
    }
    if (m_port <= 0) {
        error = "cannot listen on " + host + ":" + std::to_string(m_state.options.port);
        return false;
    }
    return true;
}

bool PortalServer::run()
{
    bool ok = m_server->listen_after_bind();
    // An outage closed the port: listen again on the same one when it is over.
    while (ok && m_state.outage.waitUntilOver(m_state.stop)) {
        ok = m_server->bind_to_port("127.0.0.1", m_port);
        m_state.outage.end();
        if (ok)
            ok = m_server->listen_after_bind();
    }
    m_finished = true;
    return ok;
}

void PortalServer::stop()
{
    m_state.stop.raise();
    // A stop that comes before the accept loop has started would otherwise be lost.
    for (int i = 0; i < 500 && !m_server->is_running() && !m_finished && !m_state.outage.active(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    m_server->stop();
}
