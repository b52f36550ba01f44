#pragma once

#include "Options.h"
#include "Text.h"

#include <string>

// Content type by file name ending; pages (.html, .htm, .jsp) are UTF-8 HTML.
std::string mimeTypeFor(const std::string &file);
bool isTemplateType(const std::string &mimeType);

// Maps a URL path below root to a regular file; a folder means its index.html. Refuses ".." segments.
bool resolveWebPath(const std::string &root, const std::string &urlPath, std::string &file);

bool readWholeFile(const std::string &file, std::string &content);

// "http://" + the Host the client used, when it looks like a plain host[:port]; otherwise the loopback
// address with fallbackPort. Pages need it for absolute addresses (cpp_url is used exactly as given).
std::string requestRoot(const std::string &hostHeader, int fallbackPort);

struct PageVars
{
    std::string root;
    const QueryItems *query = nullptr;
    const PortalUser *user = nullptr;
    std::string acceptLanguage; // the request's Accept-Language header
};

// Replaces {{ROOT}}, {{ROOT_ENC}} (percent-encoded, for cpp_url values), {{USER}}, {{TITLE}}, {{INFO}}
// {{PARAM:name}} (a query value) and {{ACCEPT_LANGUAGE}} (the request's header). Values are HTML-escaped;
// unknown placeholders stay as they are.
std::string fillTemplate(const std::string &text, const PageVars &vars);
