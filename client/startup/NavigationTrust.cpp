#include "NavigationTrust.h"

#include <QRegularExpression>

namespace {

bool isWebScheme(const QString &scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

} // namespace

QString OriginOf(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || !isWebScheme(scheme) || url.host().isEmpty())
        return {};
    const int port = url.port(scheme == QLatin1String("https") ? 443 : 80);
    return scheme + QLatin1String("://") + url.host().toLower() + QLatin1Char(':') + QString::number(port);
}

QStringList TrustedOrigins(const QString &webRoot, const QString &extra)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    QStringList origins;
    for (const QString &address : QStringList{webRoot} + extra.split(separators, Qt::SkipEmptyParts)) {
        const QString origin = OriginOf(QUrl(address.trimmed(), QUrl::StrictMode));
        if (!origin.isEmpty() && !origins.contains(origin))
            origins.append(origin);
    }
    return origins;
}

bool MayCommand(const NavigationRequest &request, const QStringList &trustedOrigins)
{
    const auto trusted = [&trustedOrigins](const QString &origin) {
        return !origin.isEmpty() && trustedOrigins.contains(origin);
    };
    if (request.kind == NavigationKind::Shell && request.mainFrame)
        return trusted(OriginOf(request.url));
    if (!request.mainFrame) {
        for (const QString &frame : request.frameOrigins) {
            if (!trusted(frame))
                return false;
        }
    }
    return trusted(OriginOf(request.initiator));
}

bool IsLoadableAddress(const QString &address, bool allowBlank)
{
    if (allowBlank && address == QLatin1String("about:blank"))
        return true;
    // Parsed as the browser will parse it when it is navigated.
    const QUrl url(address, QUrl::TolerantMode);
    return url.isValid() && isWebScheme(url.scheme().toLower()) && !url.host().isEmpty();
}
