#include "Options.h"

#include "Text.h"

#include <fstream>

namespace {

const char *const defaultTitle = "Sorvane金融终端";

// Applies one option; key is the long option name without the dashes.
bool applyOption(const std::string &key, const std::string &value, PortalOptions &options, std::string &error)
{
    if (key == "port") {
        long long port = 0;
        if (!parseNumber(value, 0, 65535, port)) {
            error = "invalid port: " + value;
            return false;
        }
        options.port = static_cast<int>(port);
    } else if (key == "www") {
        options.www = value;
    } else if (key == "log") {
        options.logFile = value;
    } else if (key == "version") {
        options.version = value;
    } else if (key == "download") {
        options.downloadFile = value;
    } else if (key == "signing-key") {
        options.signingKey = value;
    } else if (key == "signature") {
        options.signatureFile = value;
    } else if (key == "tls-cert") {
        options.tlsCert = value;
    } else if (key == "tls-key") {
        options.tlsKey = value;
    } else if (key == "user") {
        PortalUser user;
        if (!parseUser(value, user)) {
            error = "invalid user (NAME:PASSWORD[:TITLE[:INFO]]): " + value;
            return false;
        }
        options.users.push_back(user);
    } else if (key == "fault") {
        const size_t eq = value.find('=');
        const std::string path = value.substr(0, eq);
        const auto setting = eq == std::string::npos ? std::nullopt : parseFaultSetting(value.substr(eq + 1));
        if (path.empty() || path[0] != '/' || !setting) {
            error = "invalid fault (PATH=FAULT): " + value;
            return false;
        }
        options.faults.emplace_back(path, *setting);
    } else {
        error = "unknown option: " + key;
        return false;
    }
    return true;
}

bool readConfig(const std::string &file, PortalOptions &options, std::string &error)
{
    std::ifstream in(file);
    if (!in) {
        error = "cannot read config file: " + file;
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            error = file + ":" + std::to_string(number) + ": expected key=value";
            return false;
        }
        std::string key = line.substr(first, eq - first);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t'))
            key.pop_back();
        if (key == "config") {
            error = file + ":" + std::to_string(number) + ": config files do not nest";
            return false;
        }
        if (!applyOption(key, line.substr(eq + 1), options, error)) {
            error = file + ":" + std::to_string(number) + ": " + error;
            return false;
        }
    }
    return true;
}

} // namespace

bool parseUser(const std::string &text, PortalUser &user)
{
    const size_t first = text.find(':');
    if (first == std::string::npos || first == 0)
        return false;
    user.name = text.substr(0, first);
    const std::string rest = text.substr(first + 1);
    const size_t second = rest.find(':');
    user.password = rest.substr(0, second);
    user.title = defaultTitle;
    user.info = "用户:" + user.name;
    if (second == std::string::npos)
        return true;
    const std::string tail = rest.substr(second + 1);
    const size_t third = tail.find(':');
    user.title = tail.substr(0, third);
    if (third != std::string::npos)
        user.info = tail.substr(third + 1);
    return true;
}

bool parseArguments(int argc, char **argv, PortalOptions &options, std::string &error)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0) {
            error = "unexpected argument: " + arg;
            return false;
        }
        std::string key = arg.substr(2);
        std::string value;
        const size_t eq = key.find('=');
        if (eq != std::string::npos) {
            value = key.substr(eq + 1);
            key.resize(eq);
        } else if (key == "help") {
            error = "";
            return false;
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            error = "missing value for --" + key;
            return false;
        }
        const bool ok =
            key == "config" ? readConfig(value, options, error) : applyOption(key, value, options, error);
        if (!ok)
            return false;
    }
    if (options.tlsCert.empty() != options.tlsKey.empty()) {
        error = "--tls-cert and --tls-key go together";
        return false;
    }
    if (options.users.empty())
        options.users.push_back(PortalUser{"demo", "demo123", defaultTitle, "用户:demo"});
    return true;
}

const char *usageText()
{
    return "usage: portal [--port N] [--www DIR] [--log FILE] [--version TEXT] [--download FILE]\n"
           "              [--tls-cert PEM --tls-key PEM]\n"
           "              [--signing-key FILE | --signature FILE]\n"
           "              [--user NAME:PASSWORD[:TITLE[:INFO]]]... [--fault PATH=FAULT]... [--config FILE]\n"
           "fault settings: delay:MS hang status:N empty malformed large:BYTES truncate html200 html404 "
           "cut reset body:TEXT garbage:BYTES padded:BYTES:TEXT trickle:MS:BYTES\n";
}
