#pragma once

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <optional>

class BrowserPage;
class OfflineRetry;
struct NavigationRequest;
class QWebEnginePage;
class QWebEngineView;
class QUrl;
class QVariant;

// The embedded browser of every page area. The only class that touches the web engine: window
// code sees navigation, state and events, never the engine's own types.
//
// The engine page is made when the browser is first navigated, shown or handed out as the target
// of a new window, and the view only when the browser is shown, so hidden browsers cost nothing
// until they are used.
class TCppWebBrowser : public QWidget
{
    Q_OBJECT

public:
    explicit TCppWebBrowser(QWidget *parent = nullptr);
    ~TCppWebBrowser() override;

    // A "javascript:" address never reaches the engine.
    void Navigate(const QString &url);

    // Which addresses are commands for the window this browser serves. Such a navigation reaches
    // OnBeforeNavigate2 only when the service started it; from any other origin it is refused
    // and nothing else happens, so the command text never loads as a page either. A command a
    // page starts is judged once its request names who started it, so OnBeforeNavigate2 comes
    // from the event loop then; a navigation overtaken before its request starts runs nothing.
    void setCommandTest(const std::function<bool(const QString &)> &isCommand) { m_isCommand = isCommand; }
    // True from Navigate (or a load the page starts itself) until that load has ended, whether it
    // finished, failed or was refused.
    bool Busy() const { return m_busy; }
    // Whether the page shown now loaded without error (an HTTP error or an unreachable server
    // shows an error page that is no answer of the service).
    bool LastLoadOk() const { return m_lastLoadOk; }

    bool Silent() const { return m_silent; }
    void setSilent(bool silent) { m_silent = silent; }
    bool RegisterAsBrowser() const { return m_registerAsBrowser; }
    void setRegisterAsBrowser(bool on) { m_registerAsBrowser = on; }

    // The page's body text ("innerText"); empty when there is no page or it cannot be read.
    void requestBodyText(const std::function<void(const QString &)> &done);
    // The same, waiting (bounded) for the answer.
    QString BodyText();

    void Refresh();
    // Level 3 reloads completely, bypassing the cache.
    void Refresh2(int level);
    // One entry back or forward in the history, whichever entry that is.
    void GoBack();
    void GoForward();

    QString LocationURL() const;
    QString LocationName() const;

    // The host handler's look: no context menu, no scroll bars, no border, unselectable text.
    void applyHostLook();
    bool hasHostLook() const { return m_hostLook; }

    // Runs a script in the page; the callback (optional) receives its result.
    void runScript(const QString &script, const std::function<void(const QVariant &)> &done = {});
    // The same, waiting (bounded) for the result; false when none came in time. A result that
    // comes after that is dropped safely.
    bool runScriptAndWait(const QString &script, QVariant *result = nullptr);

    // Creates the engine page and its view ahead of the first navigation, so a browser that is about
    // to be shown does not pay for them then.
    void prepare();

    // A new window handed to this browser loads as a navigation of its own (its history kept,
    // its command URLs handled as its own) instead of replacing the page it shows.
    void setNewWindowsAsNavigation(bool on) { m_newWindowsAsNavigation = on; }

    // A load that cannot reach its address shows the client's own page instead of the engine's and
    // is tried again by itself until the service answers (page areas, pop-ups, tabs, video). The
    // address it is trying stays the browser's LocationURL meanwhile; a refresh tries at once.
    void setRetryOffline(bool on);
    bool isOffline() const;

    // Frees the engine page at once (a closed pop-up gives its memory back).
    void releasePage();
    bool hasPage() const { return m_page != nullptr; }
    // The process that renders the page; 0 when there is none.
    qint64 rendererPid() const;

signals:
    void OnBeforeNavigate2(const QString &url, bool &cancel);
    // A page asks for a new window; set `target` to the browser that shall show it.
    void OnNewWindow2(TCppWebBrowser *&target, bool &cancel);
    void OnDocumentComplete(const QString &url);
    void OnDownloadComplete();
    void OnTitleChange(const QString &title);
    void OnProgressChange(int progress, int maximum);
    void OnWindowSetLeft(int left);
    void OnWindowSetTop(int top);
    void OnWindowSetWidth(int width);
    void OnWindowSetHeight(int height);

protected:
    void showEvent(QShowEvent *event) override;

private:
    friend class BrowserPage;
    friend class CommandGate;

    BrowserPage *ensurePage();
    void ensureView();
    void connectPage();
    // Called by the page.
    bool beforeNavigate(const QString &url, const NavigationRequest &request);
    // The engine named who started a request of a command URL; the gate has ended it.
    void commandJudged(const QString &url, const NavigationRequest &request);
    void refused(bool mainFrame);
    bool isCommandFor(const QString &url) const;
    // Loads `url` as the shell's own load, made for `opener` when that is not empty.
    void navigateFor(const QString &url, const QUrl &opener);
    void installGeometryScript(BrowserPage *page);
    QWebEnginePage *newWindowPage();
    void reportGeometry(const QString &key, int value);
    void stepHistory(int offset);
    void reportTitle(const QString &title);
    void reportDocumentTitle(const QString &answer);
    void retryRequested();
    void loadAttempt(const QUrl &address);

    std::function<bool(const QString &)> m_isCommand;
    BrowserPage *m_page = nullptr;
    QWebEngineView *m_view = nullptr;
    bool m_busy = false;
    bool m_refusedPending = false;
    // A crashed renderer is answered with one reload; a page that crashes again before it loads
    // stays down instead of looping.
    bool m_recovering = false;
    bool m_lastLoadOk = false;
    bool m_silent = false;
    bool m_registerAsBrowser = false;
    bool m_hostLook = false;
    bool m_newWindowsAsNavigation = false;
    // What the document said about a title the engine may have made up, and that title.
    std::optional<QString> m_documentTitle;
    QString m_documentTitleFor;
    OfflineRetry *m_retry = nullptr;
};
