#include "BrowserPage.h"

#include "BrowserEngine.h"
#include "CppWebBrowser.h"
#include "NavigationTrust.h"
#include "OfflineRetry.h"
#include "SystemBrowserLaunch.h"

#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>
#include <QWebEngineCertificateError>
#include <QWebEngineHistory>
#include <QWebEngineUrlRequestInterceptor>

// The origins of the frames of the page now loading or shown; a new main document starts afresh.
class FrameOriginWatch : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        const auto type = info.resourceType();
        if (type != QWebEngineUrlRequestInfo::ResourceTypeMainFrame &&
            type != QWebEngineUrlRequestInfo::ResourceTypeSubFrame)
            return;
        const QMutexLocker lock(&m_mutex);
        if (type == QWebEngineUrlRequestInfo::ResourceTypeMainFrame) {
            m_origins.clear();
            return;
        }
        // A frame without a web origin is no service frame either.
        const QString origin = OriginOf(info.requestUrl());
        m_origins.insert(origin.isEmpty() ? QStringLiteral("null") : origin);
    }

    QStringList origins() const
    {
        const QMutexLocker lock(&m_mutex);
        return QStringList(m_origins.cbegin(), m_origins.cend());
    }

private:
    mutable QMutex m_mutex;
    QSet<QString> m_origins;
};

namespace {

NavigationKind kindOf(QWebEnginePage::NavigationType type)
{
    switch (type) {
    case QWebEnginePage::NavigationTypeTyped:
        return NavigationKind::Shell;
    case QWebEnginePage::NavigationTypeLinkClicked:
        return NavigationKind::Link;
    case QWebEnginePage::NavigationTypeFormSubmitted:
        return NavigationKind::Form;
    case QWebEnginePage::NavigationTypeBackForward:
        return NavigationKind::BackForward;
    case QWebEnginePage::NavigationTypeReload:
        return NavigationKind::Reload;
    case QWebEnginePage::NavigationTypeRedirect:
        return NavigationKind::Redirect;
    case QWebEnginePage::NavigationTypeOther:
        break;
    }
    return NavigationKind::Other;
}

} // namespace

QString UrlText(const QUrl &url)
{
    // Non-ASCII text reads as characters, delimiters stay escaped: the form a page wrote.
    const QString encoded = url.toString(QUrl::FullyEncoded);
    // Engine quirk (Qt WebEngine 6.4, Chromium 102): the engine keeps a "%" that starts no escape ("%u4F60",
    // "100%"). QUrl stores it as "%25", and one such "%" makes it store every other "%" of the address as
    // "%25" too, the page's real escapes included. Then every "%25" is undone, and the lone ones kept apart
    // while the rest is read as usual.
    static const QRegularExpression strayPercent(QStringLiteral("%25(?![0-9A-Fa-f]{2})"));
    static const QChar loneMark(0xE000);
    if (!encoded.contains(strayPercent) || encoded.contains(QLatin1String("%EE%80%80")))
        return url.toString(QUrl::PrettyDecoded);
    static const QRegularExpression lonePercent(QStringLiteral("%(?![0-9A-Fa-f]{2})"));
    QString written = encoded;
    written.replace(QLatin1String("%25"), QLatin1String("%"));
    written.replace(lonePercent, QString(loneMark));
    QString text = QUrl(written).toString(QUrl::PrettyDecoded);
    text.replace(loneMark, QLatin1Char('%'));
    return text;
}

bool TitleLooksMadeUp(const QString &title, const QUrl &url)
{
    // Engine quirk (Qt WebEngine 6.4, Chromium 102): a page without <title>, or with an empty one, is
    // titled with its address, "http://" or "https://" left off, so it no longer reads as an address.
    const QString address = UrlText(url);
    for (const QString &form : {address, url.toString(), url.toDisplayString()}) {
        for (const QLatin1String scheme : {QLatin1String("http://"), QLatin1String("https://")}) {
            if (form.startsWith(scheme) && (title == form || title == form.mid(scheme.size())))
                return true;
        }
    }
    return false;
}

QString TitleAsReported(const QString &title, const QUrl &url)
{
    return TitleLooksMadeUp(title, url) ? UrlText(url) : title;
}

BrowserPage::BrowserPage(QWebEngineProfile *profile, TCppWebBrowser *browser)
    : QWebEnginePage(profile, browser)
    , m_browser(browser)
    , m_frames(new FrameOriginWatch(this))
{
    setUrlRequestInterceptor(m_frames);
    // Silent: no question to the user, and a certificate that does not check out is never taken.
    connect(this, &QWebEnginePage::certificateError, this, [](const QWebEngineCertificateError &error) {
        QWebEngineCertificateError refused = error;
        refused.rejectCertificate();
    });
}

const QString &BrowserPage::geometryMarker()
{
    static const QString marker = QStringLiteral("\x01sorvane-geometry:");
    return marker;
}

const QString &BrowserPage::titleMarker()
{
    static const QString marker = QStringLiteral("\x01sorvane-title:");
    return marker;
}

bool BrowserPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    NavigationRequest request;
    request.url = url;
    request.kind = kindOf(type);
    request.mainFrame = isMainFrame;
    // The page shown is the last one committed to the history, not one still on its way.
    request.initiator =
        isMainFrame && type == NavigationTypeRedirect ? m_mainTarget : history()->currentItem().url();
    if (!isMainFrame)
        request.frameOrigins = m_frames->origins();
    const bool accepted = m_browser->beforeNavigate(UrlText(url), request);
    if (accepted && isMainFrame)
        m_mainTarget = url;
    return accepted;
}

QWebEnginePage *BrowserPage::createWindow(WebWindowType type)
{
    Q_UNUSED(type);
    return m_browser->newWindowPage();
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                           int line, const QString &source)
{
    Q_UNUSED(level);
    Q_UNUSED(line);
    Q_UNUSED(source);
    if (message.startsWith(titleMarker())) {
        m_browser->reportDocumentTitle(message.mid(titleMarker().size()));
        return;
    }
    if (message == OfflineRetry::retryMarker()) {
        m_browser->retryRequested();
        return;
    }
    if (!message.startsWith(geometryMarker()))
        return;
    // "<marker>left:100"
    const QStringList parts = message.mid(geometryMarker().size()).split(QLatin1Char(':'));
    bool ok = false;
    const int value = parts.value(1).toInt(&ok);
    if (parts.size() == 2 && ok)
        m_browser->reportGeometry(parts.at(0), value);
}

NewWindowCatcher::NewWindowCatcher(QWebEngineProfile *profile, std::function<void(const QString &)> deliver)
    : QWebEnginePage(profile)
    , m_deliver(std::move(deliver))
{
    // A window that never navigates must not linger, nor outlive the profile at the end.
    QTimer::singleShot(30000, this, &QObject::deleteLater);
    BrowserEngine::deleteBeforeProfile(this);
}

bool NewWindowCatcher::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(type);
    if (isMainFrame) {
        if (m_deliver)
            m_deliver(url.toString(QUrl::FullyEncoded));
        m_deliver = nullptr;
        deleteLater();
    }
    return false;
}
