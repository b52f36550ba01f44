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
    : state_(std::move(options))
{
    server_.new_task_queue = [] { return new httplib::ThreadPool(workerThreads); };
    // Short idle keep-alive so that a stop does not wait long for idle connections.
    server_.set_keep_alive_timeout(2);
    server_.set_keep_alive_max_count(1000);
    // httplib's default also sets SO_REUSEPORT, which lets a second portal share a taken port.
    server_.set_socket_options([](socket_t socket) {
        int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    installHooks();
    addLoginRoutes(server_, state_);
    addControlRoutes(server_, state_);
    addDownloadRoute(server_, state_);
    addStaticRoutes(server_, state_);
}

void PortalServer::installHooks()
{
    server_.set_pre_routing_handler([this](const httplib::Request &request, httplib::Response &response) {
        if (isControlPath(request.path))
            return httplib::Server::HandlerResponse::Unhandled;
        // Logged on arrival, so that a request that hangs or is reset is still seen.
        state_.log.add(request.path, rawQueryOf(request));
        const std::optional<FaultSpec> fault = state_.faults.find(request.path);
        if (fault && answerWithFault(*fault, request, response, state_)) {
            if (request.path.rfind("/clilogin/", 0) == 0)
                response.set_header("Cache-Control", "no-store");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    // Fills in a page for errors that have no body of their own.
    server_.set_error_handler(
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
    if (!state_.options.logFile.empty() && !state_.log.openFile(state_.options.logFile)) {
        error = "cannot write log file: " + state_.options.logFile;
        return false;
    }
    if (state_.options.port == 0) {
        port_ = server_.bind_to_any_port(host);
    } else if (server_.bind_to_port(host, state_.options.port)) {
        port_ = state_.options.port;
    }
    if (port_ <= 0) {
        error = "cannot listen on " + host + ":" + std::to_string(state_.options.port);
        return false;
    }
    return true;
}

bool PortalServer::run()
{
    const bool ok = server_.listen_after_bind();
    finished_ = true;
    return ok;
}

void PortalServer::stop()
{
    state_.stop.raise();
    // A stop that comes before the accept loop has started would otherwise be lost.
    for (int i = 0; i < 500 && !server_.is_running() && !finished_; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    server_.stop();
}
