#include "Outage.h"

#include "State.h"

void Outage::begin(std::chrono::milliseconds duration)
{
    bool close = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const Clock::time_point until = Clock::now() + duration;
        close = !m_active;
        m_until = m_active && m_until > until ? m_until : until;
        m_active = true;
    }
    if (close && m_closer)
        m_closer();
}

bool Outage::active() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_active;
}

bool Outage::waitUntilOver(StopSignal &stop)
{
    while (true) {
        Clock::time_point until;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_active)
                return false;
            until = m_until;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        if (left.count() <= 0)
            return !stop.raised();
        // Woken early by a stop; an extension is seen on the next round.
        if (stop.waitFor(left))
            return false;
    }
}

void Outage::end()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_active = false;
}
