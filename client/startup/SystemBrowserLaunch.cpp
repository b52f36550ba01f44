#include "SystemBrowserLaunch.h"

#include "FloodLimits.h"

#include "platform/systembrowser.h"

#include <QElapsedTimer>

bool OpenPageAddressInSystemBrowser(const QString &address)
{
    if (!platform::IsWebAddress(address))
        return false;
    static QElapsedTimer clock;
    static LaunchRate rate;
    if (!clock.isValid())
        clock.start();
    if (!rate.admit(clock.elapsed()))
        return false;
    return platform::OpenInSystemBrowser(address);
}
