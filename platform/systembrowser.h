#pragma once

#include <QString>

namespace platform {

// Opens an address in the user's web browser. Only http and https addresses are passed on;
// anything else is ignored and gives false.
bool OpenInSystemBrowser(const QString &address);

// The rule on its own.
bool IsWebAddress(const QString &address);

} // namespace platform
