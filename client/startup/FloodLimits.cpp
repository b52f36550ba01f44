#include "FloodLimits.h"

bool LaunchRate::admit(qint64 nowMs)
{
    m_starts.removeIf([this, nowMs](qint64 start) { return nowMs - start >= m_windowMs || start > nowMs; });
    if (m_starts.size() >= m_most)
        return false;
    m_starts.append(nowMs);
    return true;
}
