#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

// A fault switch makes one path misbehave so that clients can be tested against a broken service.
struct FaultSetting
{
    enum class Kind {
        Delay,
        Hang,
        Status,
        Empty,
        Malformed,
        Large,
        Truncate,
        Cut,
        Html200,
        Html404,
        Reset,
        Body,
        Garbage,
        Padded,
        Trickle
    };
    Kind kind = Kind::Empty;
    // Milliseconds for Delay and Trickle, status code for Status, bytes for Large, Garbage, Padded.
    long long value = 0;
    long long length = 0; // bytes for Trickle
    std::string text;     // the answer's (first) bytes for Body and Padded
};

// Parses "delay:MS", "hang", "status:N", "empty", "malformed", "large:BYTES", "truncate", "cut", "html200",
// "html404", "reset", "body:TEXT" (TEXT form-decoded, so any byte can be given as %XX),
// "garbage:BYTES" (bytes of every value), "padded:BYTES:TEXT" (TEXT, then filler up to BYTES) or
// "trickle:MS:BYTES" (BYTES announced, one sent every MS: the download's own bytes, then filler).
// Nothing for anything else.
std::optional<FaultSetting> parseFaultSetting(const std::string &text);

// Faults by exact path; read by every request thread, changed at run time over HTTP.
class FaultTable
{
public:
    void set(const std::string &path, const FaultSetting &setting);
    void clear(const std::string &path);
    std::optional<FaultSetting> find(const std::string &path) const;

private:
    mutable std::mutex m_mutex;
    std::map<std::string, FaultSetting> m_faults;
};
