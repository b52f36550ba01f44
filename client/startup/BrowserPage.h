#pragma once

#include <QUrl>
#include <QWebEnginePage>

#include <functional>

class FrameOriginWatch;
class TCppWebBrowser;

// The engine page behind one TCppWebBrowser: hands navigations, new windows and script geometry
// to its browser, which decides.
class BrowserPage : public QWebEnginePage
{
    Q_OBJECT

public:
    BrowserPage(QWebEngineProfile *profile, TCppWebBrowser *browser);

    // The marker the injected geometry script puts before its reports.
    static const QString &geometryMarker();
    // The marker before the document's answer about its title.
    static const QString &titleMarker();

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int line,
                                  const QString &source) override;

private:
    TCppWebBrowser *m_browser;
    // Sees every request of the page, so it knows the origins of the frames the page holds.
    FrameOriginWatch *m_frames;
    // Where the main frame was last sent: a redirect comes from there.
    QUrl m_mainTarget;
};

// A page with no browser that only learns where a new window wanted to go, hands that address on
// (to the system's browser for pages nobody takes, or to a browser to navigate) and goes away.
// Engine quirk (Qt WebEngine 6.4, Chromium 102): a new window's address is known only once a page was
// handed over for it and the engine asks that page to navigate.
class NewWindowCatcher : public QWebEnginePage
{
    Q_OBJECT

public:
    NewWindowCatcher(QWebEngineProfile *profile, std::function<void(const QString &)> deliver);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;

private:
    std::function<void(const QString &)> m_deliver;
};

// The text form of a navigation's address that command URLs are matched against.
QString UrlText(const QUrl &url);

// Whether the engine may have made the title up from the address: the page has no title, or an
// empty one, or is titled with its own address.
bool TitleLooksMadeUp(const QString &title, const QUrl &url);
// The title a browser reports for a page without a title: the engine's own, but the whole address
// where the engine made it up from the address.
QString TitleAsReported(const QString &title, const QUrl &url);
