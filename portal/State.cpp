#include "State.h"

#include "Text.h"

void StopSignal::raise()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        raised_ = true;
    }
    changed_.notify_all();
}

bool StopSignal::raised() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return raised_;
}

bool StopSignal::waitFor(std::chrono::milliseconds duration)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, duration, [this] { return raised_; });
}

void StopSignal::waitForever()
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return raised_; });
}

std::string SessionStore::open(const PortalUser &user)
{
    const std::string token = randomToken(16);
    std::lock_guard<std::mutex> lock(mutex_);
    sessions_[token] = user;
    return token;
}

std::optional<PortalUser> SessionStore::find(const std::string &token) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = sessions_.find(token);
    if (it == sessions_.end())
        return std::nullopt;
    return it->second;
}

void SessionStore::close(const std::string &token)
{
    std::lock_guard<std::mutex> lock(mutex_);
    sessions_.erase(token);
}

PortalState::PortalState(PortalOptions opts)
    : options(std::move(opts))
    , version_(options.version)
{
    for (const auto &fault : options.faults)
        faults.set(fault.first, fault.second);
}

std::string PortalState::version() const
{
    std::lock_guard<std::mutex> lock(versionMutex_);
    return version_;
}

void PortalState::setVersion(const std::string &text)
{
    std::lock_guard<std::mutex> lock(versionMutex_);
    version_ = text;
}

std::vector<std::string> cookieValues(const std::string &header, const std::string &name)
{
    std::vector<std::string> values;
    size_t start = 0;
    while (start < header.size()) {
        size_t end = header.find(';', start);
        if (end == std::string::npos)
            end = header.size();
        std::string item = header.substr(start, end - start);
        const size_t first = item.find_first_not_of(' ');
        item = first == std::string::npos ? std::string() : item.substr(first);
        const size_t eq = item.find('=');
        if (eq != std::string::npos && item.substr(0, eq) == name)
            values.push_back(item.substr(eq + 1));
        start = end + 1;
    }
    return values;
}
