// The fixed service addresses under /clilogin/: login exchange, version page, session pages.
#include "Routes.h"

#include "Text.h"

namespace {

const char *const noStore = "no-store";
const char *const plainText = "text/plain; charset=utf-8";

std::optional<PortalUser> sessionUser(const httplib::Request &request, const PortalState &state)
{
    for (const std::string &token : cookieValues(request.get_header_value("Cookie"), sessionCookieName())) {
        if (auto user = state.sessions.find(token))
            return user;
    }
    return std::nullopt;
}

const PortalUser *findUser(const PortalOptions &options, const std::string &name, const std::string &password)
{
    for (const PortalUser &user : options.users) {
        if (user.name == name && user.password == password)
            return &user;
    }
    return nullptr;
}

void handleLogin(const httplib::Request &request, httplib::Response &response, PortalState &state)
{
    const QueryItems query = parseQuery(rawQueryOf(request));
    const PortalUser *user =
        findUser(state.options, queryValue(query, "userid"), queryValue(query, "userpass"));
    if (!user) {
        response.set_content("x|loginerr|用户名或密码错误|-|-", plainText);
        return;
    }
    const std::string token = state.sessions.open(*user);
    response.set_header("Set-Cookie", std::string(sessionCookieName()) + "=" + token + "; Path=/; HttpOnly");
    response.set_content("x|loginok|登录成功|" + user->title + "|" + user->info, plainText);
}

void handleDeleteCookie(const httplib::Request &request, httplib::Response &response, PortalState &state)
{
    for (const std::string &token : cookieValues(request.get_header_value("Cookie"), sessionCookieName()))
        state.sessions.close(token);
    response.set_header("Set-Cookie",
                        std::string(sessionCookieName()) +
                            "=; Path=/; Max-Age=0; Expires=Thu, 01 Jan 1970 00:00:00 GMT; HttpOnly");
    if (!servePage(request, response, state, "/clilogin/deletecook.jsp", nullptr))
        response.set_content("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>已注销</title></head>"
                             "<body>COOKIE-DELETED</body></html>",
                             "text/html; charset=utf-8");
}

// A session page shows itself only to a logged-in client; otherwise the not-logged-in page.
void handleSessionPage(const httplib::Request &request, httplib::Response &response, const PortalState &state)
{
    const std::optional<PortalUser> user = sessionUser(request, state);
    if (user && servePage(request, response, state, request.path, &*user))
        return;
    if (!user && servePage(request, response, state, "/clilogin/notlogged.html", nullptr))
        return;
    response.status = 404;
}

} // namespace

void addLoginRoutes(httplib::Server &server, PortalState &state)
{
    server.Get(exactPattern("/clilogin/clilogin.jsp"),
               [&state](const httplib::Request &request, httplib::Response &response) {
                   handleLogin(request, response, state);
                   response.set_header("Cache-Control", noStore);
               });
    server.Get(exactPattern("/clilogin/ver.html"),
               [&state](const httplib::Request &, httplib::Response &response) {
                   response.set_content(state.version(), plainText);
                   response.set_header("Cache-Control", noStore);
               });
    server.Get(exactPattern("/clilogin/deletecook.jsp"),
               [&state](const httplib::Request &request, httplib::Response &response) {
                   handleDeleteCookie(request, response, state);
                   response.set_header("Cache-Control", noStore);
               });
    for (const char *page : {"/clilogin/index01.jsp", "/clilogin/index02.jsp", "/clilogin/index03.jsp",
                             "/clilogin/myspace1.jsp"}) {
        server.Get(exactPattern(page),
                   [&state](const httplib::Request &request, httplib::Response &response) {
                       handleSessionPage(request, response, state);
                       response.set_header("Cache-Control", noStore);
                   });
    }
}
