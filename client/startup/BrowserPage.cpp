#include "BrowserPage.h"

#include "BrowserEngine.h"
#include "CppWebBrowser.h"
#include "NavigationTrust.h"
#include "OfflineRetry.h"
#include "SystemBrowserLaunch.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTimer>
#include <QUuid>
#include <QWebEngineCertificateError>
#include <QWebEngineUrlRequestInterceptor>

#include <optional>

namespace {

bool isFrameRequest(const QWebEngineUrlRequestInfo &info)
{
    const auto type = info.resourceType();
    return type == QWebEngineUrlRequestInfo::ResourceTypeMainFrame ||
           type == QWebEngineUrlRequestInfo::ResourceTypeSubFrame;
}

NavigationKind kindOfRequest(QWebEngineUrlRequestInfo::NavigationType type)
{
    switch (type) {
    case QWebEngineUrlRequestInfo::NavigationTypeTyped:
        return NavigationKind::Shell;
    case QWebEngineUrlRequestInfo::NavigationTypeLink:
        return NavigationKind::Link;
    case QWebEngineUrlRequestInfo::NavigationTypeFormSubmitted:
        return NavigationKind::Form;
    case QWebEngineUrlRequestInfo::NavigationTypeBackForward:
        return NavigationKind::BackForward;
    case QWebEngineUrlRequestInfo::NavigationTypeReload:
        return NavigationKind::Reload;
    case QWebEngineUrlRequestInfo::NavigationTypeRedirect:
        return NavigationKind::Redirect;
    default:
        break;
    }
    return NavigationKind::Other;
}

// A request of a chain the shell started names nobody: it is the shell's load.
QUrl initiatorOf(const QWebEngineUrlRequestInfo &info, const QUrl &shellStart)
{
    if (info.navigationType() == QWebEngineUrlRequestInfo::NavigationTypeTyped && info.initiator().isEmpty())
        return shellStart;
    return info.initiator();
}

} // namespace

// Judges the requests of command URLs on who the engine says started them.
// Engine quirk (Qt WebEngine 6.4, Chromium 102): the page's acceptNavigationRequest comes before the
// request, which alone carries the initiator; the interceptor is called on the user-interface thread
// for every main-frame and frame request, a server redirect's hop included (though that hop's request
// is made all the same), each hop with the initiator of the chain's first request; a frame's navigation,
// also of the top window, carries that frame's own document's origin; the first request of a window a
// page opened, or of a blank window it sent on, carries the opener's; a history step carries the
// origin of the entry it steps to.
class CommandGate : public QWebEngineUrlRequestInterceptor
{
public:
    explicit CommandGate(BrowserPage *page)
        : QWebEngineUrlRequestInterceptor(page)
        , m_page(page)
    {}

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        if (!isFrameRequest(info))
            return;
        const bool mainFrame = info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame;
        const QList<QUrl> hops = m_page->m_chain;
        if (mainFrame) {
            m_page->m_lastMainRequest = info.requestUrl();
            if (hops.isEmpty())
                m_page->m_chainInitiator = initiatorOf(info, m_page->m_shellStart);
        }
        TCppWebBrowser *browser = m_page->m_browser;
        const QString text = UrlText(info.requestUrl());
        if (!browser->isCommandFor(text))
            return;
        NavigationRequest request;
        request.url = info.requestUrl();
        request.kind = kindOfRequest(info.navigationType());
        request.mainFrame = mainFrame;
        if (mainFrame)
            request.redirectedFrom = hops;
        request.initiator = initiatorOf(info, m_page->m_shellStart);
        request.topDocument = info.firstPartyUrl();
        request.initiatorKnown = true;
        // Engine quirk (Qt WebEngine 6.4, Chromium 102): a request blocked here commits an error page
        // over the page shown; one redirected to an address the page then refuses ends as if it had been
        // cancelled before it started, and the page stays as it was.
        info.redirect(BrowserPage::refusedAddress());
        browser->commandJudged(text, request);
    }

private:
    BrowserPage *m_page;
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
    , m_gate(new CommandGate(this))
{
    setUrlRequestInterceptor(m_gate);
    renewGeometryMark();
    // A document of another origin could learn the mark; the documents after it get a new one.
    connect(this, &QWebEnginePage::urlChanged, this, [this](const QUrl &url) {
        const std::optional<QStringList> &service = BrowserEngine::serviceOrigins();
        if (service && !service->contains(OriginOf(url)))
            renewGeometryMark();
    });
    // Silent: no question to the user, and a certificate that does not check out is never taken.
    connect(this, &QWebEnginePage::certificateError, this, [](const QWebEngineCertificateError &error) {
        QWebEngineCertificateError refused = error;
        refused.rejectCertificate();
    });
}

const QUrl &BrowserPage::refusedAddress()
{
    // A reserved name: should a request ever be made, it resolves nowhere.
    static const QUrl address(QStringLiteral("http://refused.invalid/"));
    return address;
}

void BrowserPage::renewGeometryMark()
{
    m_geometryMark = QStringLiteral("\x01sorvane-geometry:") + QUuid::createUuid().toString(QUuid::Id128) +
                     QLatin1Char(':');
    m_browser->installGeometryScript(this);
}

const QString &BrowserPage::titleMarker()
{
    static const QString marker = QStringLiteral("\x01sorvane-title:");
    return marker;
}

bool BrowserPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    // Engine quirk (Qt WebEngine 6.4, Chromium 102): a page handed out for a new window loses its request
    // interceptor when the engine adopts the window's contents; set again before its next request.
    if (m_handedOut)
        setUrlRequestInterceptor(m_gate);
    m_handedOut = false;
    if (url == refusedAddress()) {
        m_browser->refused(isMainFrame);
        return false;
    }
    NavigationRequest request;
    request.url = url;
    request.kind = kindOf(type);
    request.mainFrame = isMainFrame;
    // Engine quirk (Qt WebEngine 6.4, Chromium 102): a redirect (from the server, location.replace or a
    // refresh) is asked about here after the request it leaves has been made, before its own.
    // Engine quirk (Qt WebEngine 6.4, Chromium 102): the request of a server redirect's hop is made even
    // when the interceptor redirects it, so a chain is first judged here on who started its first
    // request and where it passed, and one that started or passed elsewhere ends before that.
    if (isMainFrame && type == NavigationTypeRedirect) {
        m_chain.append(m_lastMainRequest);
        request.initiator = m_chainInitiator;
        request.redirectedFrom = m_chain;
    } else if (isMainFrame) {
        m_chain.clear();
    }
    if (request.kind == NavigationKind::Shell && isMainFrame) {
        m_shellStart = m_nextShellOpener.isEmpty() ? url : m_nextShellOpener;
        m_nextShellOpener.clear();
        request.initiator = m_shellStart;
    }
    return m_browser->beforeNavigate(UrlText(url), request);
}

QWebEnginePage *BrowserPage::createWindow(WebWindowType type)
{
    Q_UNUSED(type);
    return m_browser->newWindowPage();
}

// Script geometry counts only from this window's own main-frame document of a trusted origin: the
// injected script runs in main frames only, and its reports carry a mark no other script knows
// (a console message's source is the page's to set). The origin is checked as the report arrives.
bool BrowserPage::reportsGeometry(const QString &message, QString *report) const
{
    if (!message.startsWith(m_geometryMark))
        return false;
    const std::optional<QStringList> &service = BrowserEngine::serviceOrigins();
    if (service && !service->contains(OriginOf(url())))
        return false;
    *report = message.mid(m_geometryMark.size());
    return true;
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
    QString report;
    if (!reportsGeometry(message, &report))
        return;
    // "left:100"
    const QStringList parts = report.split(QLatin1Char(':'));
    bool ok = false;
    const int value = parts.value(1).toInt(&ok);
    if (parts.size() == 2 && ok)
        m_browser->reportGeometry(parts.at(0), value);
}

// Learns who opened a window: the engine names the opener with the window's first request.
class OpenerWatch : public QWebEngineUrlRequestInterceptor
{
public:
    explicit OpenerWatch(NewWindowCatcher *catcher)
        : QWebEngineUrlRequestInterceptor(catcher)
        , m_catcher(catcher)
    {}

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        if (info.resourceType() != QWebEngineUrlRequestInfo::ResourceTypeMainFrame ||
            info.requestUrl() == BrowserPage::refusedAddress())
            return;
        const QString address = info.requestUrl().toString(QUrl::FullyEncoded);
        info.redirect(BrowserPage::refusedAddress());
        m_catcher->deliver(address, info.initiator());
    }

private:
    NewWindowCatcher *m_catcher;
};

NewWindowCatcher::NewWindowCatcher(QWebEngineProfile *profile, Delivery deliver)
    : QWebEnginePage(profile)
    , m_watch(new OpenerWatch(this))
    , m_deliver(std::move(deliver))
{
    setUrlRequestInterceptor(m_watch);
    // A window that never navigates must not linger, nor outlive the profile at the end.
    QTimer::singleShot(30000, this, &QObject::deleteLater);
    BrowserEngine::deleteBeforeProfile(this);
}

bool NewWindowCatcher::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(type);
    // Engine quirk (Qt WebEngine 6.4, Chromium 102): see BrowserPage::acceptNavigationRequest; this page
    // makes one request only.
    setUrlRequestInterceptor(m_watch);
    if (!isMainFrame || url == BrowserPage::refusedAddress())
        return false;
    // A web address goes on to its request, which names the opener; anything else has none.
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
        return true;
    deliver(url.toString(QUrl::FullyEncoded), QUrl());
    return false;
}

void NewWindowCatcher::deliver(const QString &address, const QUrl &opener)
{
    // Handed on from the event loop: the engine is still inside this page's request.
    if (m_deliver)
        QTimer::singleShot(0, qApp, [deliver = m_deliver, address, opener] { deliver(address, opener); });
    m_deliver = nullptr;
    deleteLater();
}
