#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

class StopSignal;

// The whole service stops answering for a while, as when the network between it and its users
// fails: its port refuses connections, then it listens again on the same port.
class Outage
{
public:
    using Clock = std::chrono::steady_clock;

    // Set by the server: closes the listening socket (the accept loop then ends).
    void setCloser(std::function<void()> closer) { m_closer = std::move(closer); }
    // From a request thread: refuse connections from now on for `duration` (an outage under way is
    // extended).
    void begin(std::chrono::milliseconds duration);
    bool active() const;
    // The server's loop, once its accept loop ended: waits until the outage is over. False when
    // there is none or the server is to stop instead.
    bool waitUntilOver(StopSignal &stop);
    // Listening again.
    void end();

private:
    std::function<void()> m_closer;
    mutable std::mutex m_mutex;
    bool m_active = false;
    Clock::time_point m_until;
};
