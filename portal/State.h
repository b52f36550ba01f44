#pragma once

#include "Faults.h"
#include "Options.h"
#include "Outage.h"
#include "RequestLog.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>

// Raised once when the server is asked to stop; wakes every request that waits on purpose.
class StopSignal
{
public:
    void raise();
    bool raised() const;
    // Sleeps for the given time or until the stop; true when stopped.
    bool waitFor(std::chrono::milliseconds duration);
    void waitForever();

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_raised = false;
};

// Login sessions by cookie token.
class SessionStore
{
public:
    std::string open(const PortalUser &user);
    std::optional<PortalUser> find(const std::string &token) const;
    void close(const std::string &token);

private:
    mutable std::mutex m_mutex;
    std::map<std::string, PortalUser> m_sessions;
};

// What every handler shares. The options are fixed after start; the rest is thread-safe.
struct PortalState
{
    explicit PortalState(PortalOptions opts);

    std::string version() const;
    void setVersion(const std::string &text);

    const PortalOptions options;
    FaultTable faults;
    RequestLog log;
    SessionStore sessions;
    StopSignal stop;
    Outage outage;

private:
    mutable std::mutex m_versionMutex;
    std::string m_version;
};

inline const char *sessionCookieName()
{
    return "SVSESSION";
}

// Value of the named cookie in a Cookie header ("a=1; b=2"), every occurrence.
std::vector<std::string> cookieValues(const std::string &header, const std::string &name);
