#include "platform/systembrowser.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

bool IsWebAddress(const QString &address)
{
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

bool OpenInSystemBrowser(const QString &address)
{
    if (!IsWebAddress(address))
        return false;
    return QDesktopServices::openUrl(QUrl(address.trimmed(), QUrl::StrictMode));
}

} // namespace platform
