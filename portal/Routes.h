#pragma once

#include "State.h"

#include <httplib.h>

#include <string>

// Route groups of the portal; each adds its handlers to the server.
void addLoginRoutes(httplib::Server &server, PortalState &state);   // /clilogin/...
void addControlRoutes(httplib::Server &server, PortalState &state); // /__control, /__log, /__beacon
void addDownloadRoute(httplib::Server &server, PortalState &state); // /download/clikw730exe and its .minisig
void addStaticRoutes(httplib::Server &server, PortalState &state);  // everything else from the web root

// The query exactly as the client sent it (without "?").
std::string rawQueryOf(const httplib::Request &request);

// A handler pattern that matches exactly this path (httplib patterns are regular expressions).
std::string exactPattern(const std::string &path);

// Paths that drive the portal itself: not logged and never faulted.
bool isControlPath(const std::string &path);

// Answers with a page from the web root, filling in its placeholders. False when there is no such file.
bool servePage(const httplib::Request &request, httplib::Response &response, const PortalState &state,
               const std::string &webPath, const PortalUser *user);
