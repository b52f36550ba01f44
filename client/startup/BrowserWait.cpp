#include "BrowserWait.h"

#include "CppWebBrowser.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

namespace {

int g_limitMs = 30000;
bool g_quitting = false;

// Every quit of the application passes a Quit event to it first.
class QuitWatch : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Quit && watched == QCoreApplication::instance())
            g_quitting = true;
        return false;
    }
};

} // namespace

bool ApplicationQuitting()
{
    return g_quitting;
}

void WatchForQuit()
{
    static QPointer<QuitWatch> watch;
    QCoreApplication *app = QCoreApplication::instance();
    if (watch || !app)
        return;
    watch = new QuitWatch(app);
    app->installEventFilter(watch);
}

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
    WatchForQuit();
    const QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired() || g_quitting)
            return false;
        // A nested loop that wakes at least every few ms to test the condition again. Objects
        // deleted later by handlers that run in here stay alive until their own loop level.
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        // Once the application is quitting a new loop returns at once with -1 and would spin here.
        if (loop.exec() < 0) {
            g_quitting = true;
            return false;
        }
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
