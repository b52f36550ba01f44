#pragma once

#include <QList>

// How much a page may put on the desktop. Generous for any real page; past them the command that
// asks for more is dropped, so a page in a loop cannot bury the desktop or the machine.
constexpr int kMostPopupWindows = 32;
constexpr int kMostTabs = 64;
constexpr int kMostBrowserLaunchesPerMinute = 10;

// A window of recent starts: `admit` says whether one more may start at `nowMs` and, if so,
// counts it. Starts older than `windowMs` no longer count.
class LaunchRate
{
public:
    explicit LaunchRate(int most = kMostBrowserLaunchesPerMinute, qint64 windowMs = 60000)
        : m_most(most)
        , m_windowMs(windowMs)
    {}

    bool admit(qint64 nowMs);

private:
    int m_most;
    qint64 m_windowMs;
    QList<qint64> m_starts;
};
