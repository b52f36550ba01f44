#pragma once

#include <QString>

// Opens an address that a page asked for in the system's browser: http and https only, and no
// more than kMostBrowserLaunchesPerMinute in any minute. False when nothing was started.
bool OpenPageAddressInSystemBrowser(const QString &address);
