#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

// A fault switch makes one path misbehave so that clients can be tested against a broken service.
struct FaultSpec
{
    enum class Kind { Delay, Hang, Status, Empty, Malformed, Large, Truncate, Html200, Html404, Reset };
    Kind kind = Kind::Empty;
    long long value = 0; // milliseconds for Delay, status code for Status, bytes for Large
};

// Parses "delay:MS", "hang", "status:N", "empty", "malformed", "large:BYTES", "truncate", "html200",
// "html404" or "reset". Nothing for anything else.
std::optional<FaultSpec> parseFaultSpec(const std::string &text);

// Faults by exact path; read by every request thread, changed at run time over HTTP.
class FaultTable
{
public:
    void set(const std::string &path, const FaultSpec &spec);
    void clear(const std::string &path);
    std::optional<FaultSpec> find(const std::string &path) const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, FaultSpec> faults_;
};
