#include "BrowserWait.h"

#include "CppWebBrowser.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

namespace {

int g_limitMs = 30000;

} // namespace

int BrowserWaitLimitMs()
{
    return g_limitMs;
}

void SetBrowserWaitLimitMs(int ms)
{
    g_limitMs = ms;
}

bool WaitUntil(const std::function<bool()> &done, int limitMs)
{
    const QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        // A nested loop that wakes at least every few ms to test the condition again. Objects
        // deleted later by handlers that run in here stay alive until their own loop level.
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

bool WaitWhileBusy(TCppWebBrowser *browser)
{
    const QPointer<TCppWebBrowser> guard(browser);
    return WaitUntil([&guard] { return !guard || !guard->Busy(); }) && guard;
}

void PumpEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
