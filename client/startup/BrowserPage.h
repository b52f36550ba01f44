#pragma once

#include <QUrl>
#include <QWebEnginePage>

#include <functional>

class QWebEngineUrlRequestInterceptor;

class CommandGate;
class TCppWebBrowser;

// The engine page behind one TCppWebBrowser: hands navigations, new windows and script geometry
// to its browser, which decides.
class BrowserPage : public QWebEnginePage
{
    Q_OBJECT

public:
    BrowserPage(QWebEngineProfile *profile, TCppWebBrowser *browser);

    // The marker before the document's answer about its title.
    static const QString &titleMarker();
    // What the injected geometry script puts before its reports: a mark of this page's own.
    const QString &geometryMark() const { return m_geometryMark; }
    // The address the next shell load is made for (the opener of a new window), if not its own.
    void setNextShellOpener(const QUrl &opener) { m_nextShellOpener = opener; }
    // The page is handed to the engine for a new window's contents.
    void handOut() { m_handedOut = true; }

    // Where a command request is sent so that it ends without a document: the engine asks about
    // that hop first and it is refused, so nothing is requested or shown.
    static const QUrl &refusedAddress();

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int line,
                                  const QString &source) override;

private:
    friend class CommandGate;
    void renewGeometryMark();
    bool reportsGeometry(const QString &message, QString *report) const;

    TCppWebBrowser *m_browser;
    // Sees every request of the page with the engine's own initiator, and judges command URLs.
    CommandGate *m_gate;
    // Who the current shell load (and its redirect chain) is for: the address the shell loaded,
    // or the opener of the window it loads.
    QUrl m_shellStart;
    QUrl m_nextShellOpener;
    // The main frame's requests: the last one made, and the hops of the redirect chain now under
    // way before the current one.
    QUrl m_lastMainRequest;
    QList<QUrl> m_chain;
    // Who started the chain's first request, as the engine named it.
    QUrl m_chainInitiator;
    bool m_handedOut = false;
    QString m_geometryMark;
};

// A page with no browser that only learns where a new window wanted to go, hands that address on
// (to the system's browser for pages nobody takes, or to a browser to navigate) and goes away.
// Engine quirk (Qt WebEngine 6.4, Chromium 102): a new window's address is known only once a page was
// handed over for it and the engine asks that page to navigate.
class NewWindowCatcher : public QWebEnginePage
{
    Q_OBJECT

public:
    // `deliver` receives the address and the origin of the document that opened the window.
    using Delivery = std::function<void(const QString &address, const QUrl &opener)>;
    NewWindowCatcher(QWebEngineProfile *profile, Delivery deliver);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;

private:
    friend class OpenerWatch;
    void deliver(const QString &address, const QUrl &opener);

    QWebEngineUrlRequestInterceptor *m_watch;
    Delivery m_deliver;
};

// The text form of a navigation's address that command URLs are matched against.
QString UrlText(const QUrl &url);

// Whether the engine may have made the title up from the address: the page has no title, or an
// empty one, or is titled with its own address.
bool TitleLooksMadeUp(const QString &title, const QUrl &url);
// The title a browser reports for a page without a title: the engine's own, but the whole address
// where the engine made it up from the address.
QString TitleAsReported(const QString &title, const QUrl &url);
