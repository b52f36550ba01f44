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

CommandVerdict JudgeCommand(const NavigationRequest &request, const QStringList &trustedOrigins)
{
    const auto trusted = [&trustedOrigins](const QUrl &address) {
        const QString origin = OriginOf(address);
        return !origin.isEmpty() && trustedOrigins.contains(origin);
    };
    const auto verdict = [](bool obey) { return obey ? CommandVerdict::Obey : CommandVerdict::Refuse; };
    if (request.kind == NavigationKind::BackForward || request.kind == NavigationKind::Reload)
        return CommandVerdict::Refuse;
    // Whoever started a chain, a redirect from elsewhere is that site's word.
    for (const QUrl &hop : request.redirectedFrom) {
        if (!trusted(hop))
            return CommandVerdict::Refuse;
    }
    if (request.kind == NavigationKind::Shell && request.mainFrame)
        return verdict(trusted(request.initiator.isEmpty() ? request.url : request.initiator));
    // A frame's redirect chain cannot be followed hop by hop: frames load side by side.
    if (!request.mainFrame && request.kind == NavigationKind::Redirect)
        return CommandVerdict::Refuse;
    // A redirect the engine has not yet named: `initiator` is that of the chain's first request.
    if (!request.initiatorKnown && request.kind == NavigationKind::Redirect && request.mainFrame &&
        !trusted(request.initiator))
        return CommandVerdict::Refuse;
    if (!request.initiatorKnown) {
        // Only web requests reach the engine's interceptor, where the initiator is named.
        return isWebScheme(request.url.scheme().toLower()) ? CommandVerdict::AskEngine
                                                           : CommandVerdict::Refuse;
    }
    if (!request.mainFrame && !trusted(request.topDocument))
        return CommandVerdict::Refuse;
    return verdict(trusted(request.initiator));
}

bool MayCommand(const NavigationRequest &request, const QStringList &trustedOrigins)
{
    return JudgeCommand(request, trustedOrigins) == CommandVerdict::Obey;
}

bool IsLoadableAddress(const QString &address, bool allowBlank)
{
    if (allowBlank && address == QLatin1String("about:blank"))
        return true;
    // Parsed as the browser will parse it when it is navigated.
    const QUrl url(address, QUrl::TolerantMode);
    return url.isValid() && isWebScheme(url.scheme().toLower()) && !url.host().isEmpty();
}
