#include "WebFiles.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

std::string mimeTypeFor(const std::string &file)
{
    const size_t dot = file.rfind('.');
    const std::string ext = dot == std::string::npos ? std::string() : file.substr(dot + 1);
    if (ext == "html" || ext == "htm" || ext == "jsp")
        return "text/html; charset=utf-8";
    if (ext == "css")
        return "text/css; charset=utf-8";
    if (ext == "js")
        return "application/javascript; charset=utf-8";
    if (ext == "txt")
        return "text/plain; charset=utf-8";
    if (ext == "json")
        return "application/json";
    if (ext == "svg")
        return "image/svg+xml";
    if (ext == "png")
        return "image/png";
    if (ext == "gif")
        return "image/gif";
    if (ext == "jpg" || ext == "jpeg")
        return "image/jpeg";
    if (ext == "ico")
        return "image/x-icon";
    return "application/octet-stream";
}

bool isTemplateType(const std::string &mimeType)
{
    return mimeType.rfind("text/html", 0) == 0;
}

bool resolveWebPath(const std::string &root, const std::string &urlPath, std::string &file)
{
    if (root.empty() || urlPath.empty() || urlPath[0] != '/' || urlPath.find('\0') != std::string::npos ||
        urlPath.find('\\') != std::string::npos)
        return false;
    // One spelling per file, so that a page with its own route cannot be fetched around it.
    const std::string relative = urlPath.substr(1);
    size_t start = 0;
    while (start < relative.size()) {
        size_t end = relative.find('/', start);
        if (end == std::string::npos)
            end = relative.size();
        const std::string segment = relative.substr(start, end - start);
        if (segment == ".." || segment == "." || (segment.empty() && end < relative.size()))
            return false;
        start = end + 1;
    }
    fs::path path = fs::path(root) / urlPath.substr(1);
    std::error_code error;
    if (fs::is_directory(path, error))
        path /= "index.html";
    if (!fs::is_regular_file(path, error))
        return false;
    file = path.string();
    return true;
}

bool readWholeFile(const std::string &file, std::string &content)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    content = buffer.str();
    return true;
}

std::string requestRoot(const std::string &hostHeader, int fallbackPort)
{
    bool plain = !hostHeader.empty() && hostHeader.size() < 256;
    for (const char c : hostHeader) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                             c == '.' || c == '-' || c == ':' || c == '[' || c == ']';
        plain = plain && allowed;
    }
    if (plain)
        return "http://" + hostHeader;
    return "http://127.0.0.1:" + std::to_string(fallbackPort);
}

std::string fillTemplate(const std::string &text, const PageVars &vars)
{
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (true) {
        const size_t open = text.find("{{", pos);
        const size_t close = open == std::string::npos ? std::string::npos : text.find("}}", open + 2);
        if (close == std::string::npos) {
            out.append(text, pos, std::string::npos);
            return out;
        }
        out.append(text, pos, open - pos);
        const std::string name = text.substr(open + 2, close - open - 2);
        const std::string paramPrefix = "PARAM:";
        if (name == "ROOT")
            out += htmlEscape(vars.root);
        else if (name == "ROOT_ENC")
            out += percentEncode(vars.root);
        else if (name == "USER" && vars.user)
            out += htmlEscape(vars.user->name);
        else if (name == "TITLE" && vars.user)
            out += htmlEscape(vars.user->title);
        else if (name == "INFO" && vars.user)
            out += htmlEscape(vars.user->info);
        else if (name == "ACCEPT_LANGUAGE")
            out += htmlEscape(vars.acceptLanguage);
        else if (name.rfind(paramPrefix, 0) == 0 && vars.query)
            out += htmlEscape(queryValue(*vars.query, name.substr(paramPrefix.size())));
        else
            out.append(text, open, close + 2 - open);
        pos = close + 2;
    }
}
