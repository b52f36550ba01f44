#pragma once

#include "Faults.h"

#include <string>
#include <utility>
#include <vector>

struct PortalUser
{
    std::string name;
    std::string password;
    std::string title;
    std::string info;
};

struct PortalOptions
{
    int port = 0; // 0: any free port
    std::string www;
    std::string logFile;
    std::string version = "3.0.05;3.0.01;3.0.09";
    std::string downloadFile;
    std::string signingKey = PORTAL_DEFAULT_SIGNING_KEY; // signs the download on each request
    std::string signatureFile;                           // served as the signature instead, when set
    std::string tlsCert;                                 // with tlsKey: everything is served over TLS
    std::string tlsKey;
    std::vector<PortalUser> users; // the demo user when none is given
    std::vector<std::pair<std::string, FaultSetting>> faults;
};

// "NAME:PASSWORD[:TITLE[:INFO]]": each field ends at the next ':', INFO takes the rest.
bool parseUser(const std::string &text, PortalUser &user);

// Reads the command line, and any --config file at the place where it is named.
// On failure error says why; the caller prints it with the usage.
bool parseArguments(int argc, char **argv, PortalOptions &options, std::string &error);

const char *usageText();
