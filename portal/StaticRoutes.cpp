// Pages and files from the web root, and the helpers the other route groups share.
#include "Routes.h"

#include "Text.h"
#include "WebFiles.h"

std::string rawQueryOf(const httplib::Request &request)
{
    const size_t mark = request.target.find('?');
    return mark == std::string::npos ? std::string() : request.target.substr(mark + 1);
}

std::string exactPattern(const std::string &path)
{
    std::string pattern;
    for (const char c : path) {
        if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos)
            pattern += '\\';
        pattern += c;
    }
    return pattern;
}

bool isControlPath(const std::string &path)
{
    return path == "/__log" || path.rfind("/__control/", 0) == 0;
}

bool servePage(const httplib::Request &request, httplib::Response &response, const PortalState &state,
               const std::string &webPath, const PortalUser *user)
{
    std::string file;
    std::string content;
    if (!resolveWebPath(state.options.www, webPath, file) || !readWholeFile(file, content))
        return false;
    const std::string mimeType = mimeTypeFor(file);
    if (isTemplateType(mimeType)) {
        const QueryItems query = parseQuery(rawQueryOf(request));
        PageVars vars;
        vars.root = requestRoot(request.get_header_value("Host"), request.local_port);
        vars.query = &query;
        vars.user = user;
        vars.acceptLanguage = request.get_header_value("Accept-Language");
        content = fillTemplate(content, vars);
    }
    response.status = 200;
    response.set_content(content, mimeType);
    return true;
}

void addStaticRoutes(httplib::Server &server, PortalState &state)
{
    // A server redirect to any address, as the service's own pages may answer: "/__redirect?to=URL".
    server.Get(exactPattern("/__redirect"), [](const httplib::Request &request, httplib::Response &response) {
        const std::string target = queryValue(parseQuery(rawQueryOf(request)), "to");
        if (target.empty()) {
            response.status = 400;
            return;
        }
        response.set_redirect(target, 302);
        response.set_header("Cache-Control", "no-store");
    });
    server.Get("/.*", [&state](const httplib::Request &request, httplib::Response &response) {
        if (!servePage(request, response, state, request.path, nullptr))
            response.status = 404;
    });
}
