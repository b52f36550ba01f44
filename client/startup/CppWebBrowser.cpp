#include "CppWebBrowser.h"

#include "BrowserEngine.h"
#include "BrowserPage.h"
#include "BrowserWait.h"
#include "NavigationTrust.h"
#include "OfflineRetry.h"
#include "SystemBrowserLaunch.h"

#include <QTimer>
#include <QVBoxLayout>
#include <QVariant>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <memory>
#include <optional>

namespace {

// Engine quirk (Qt WebEngine 6.4, Chromium 102): pages move and size their windows through these calls,
// and the engine does not pass them on for pages it did not open itself, so they are reported to
// the browser instead.
QString geometryScriptSource(const QString &mark)
{
    return QStringLiteral(R"JS((function () {
  var mark = %1;
  // Taken before any page script runs, so no page can wrap it and read the mark.
  var debug = console.debug.bind(console);
  function report(key, value) {
    value = Math.round(Number(value));
    if (isFinite(value)) debug(mark + key + ':' + value);
  }
  window.moveTo = function (x, y) { report('left', x); report('top', y); };
  window.moveBy = function (dx, dy) { report('left', window.screenX + dx); report('top', window.screenY + dy); };
  window.resizeTo = function (w, h) { report('width', w); report('height', h); };
  window.resizeBy = function (dw, dh) { report('width', window.outerWidth + dw); report('height', window.outerHeight + dh); };
})();)JS")
        .arg(mark);
}

QString hostLookScriptSource()
{
    return QStringLiteral(R"JS((function () {
  var style = document.createElement('style');
  style.textContent = 'html, body { overflow: hidden !important; border: 0 !important; '
    + '-webkit-user-select: none !important; user-select: none !important; }';
  (document.head || document.documentElement).appendChild(style);
})();)JS");
}

// Answers, once the document is parsed, whether it has a title element and what its title says.
QString titleQuerySource()
{
    return QStringLiteral(R"JS((function () {
  function answer() {
    console.debug(%1 + (document.querySelector('title') ? '1' + document.title : '0'));
  }
  if (document.readyState === 'loading')
    document.addEventListener('DOMContentLoaded', answer, { once: true });
  else
    answer();
})();)JS")
        .arg(QStringLiteral("'\\x01sorvane-title:'"));
}

QWebEngineScript makeScript(const QString &name, const QString &source, QWebEngineScript::InjectionPoint at)
{
    QWebEngineScript script;
    script.setName(name);
    script.setSourceCode(source);
    script.setInjectionPoint(at);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    return script;
}

} // namespace

TCppWebBrowser::TCppWebBrowser(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

TCppWebBrowser::~TCppWebBrowser()
{
    // The view must let go of the page before the page goes.
    delete m_view;
    m_view = nullptr;
    delete m_page;
    m_page = nullptr;
}

BrowserPage *TCppWebBrowser::ensurePage()
{
    if (m_page)
        return m_page;
    m_page = new BrowserPage(BrowserEngine::profile(), this);
    if (m_hostLook) {
        m_page->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
        m_page->scripts().insert(makeScript(QStringLiteral("sorvane-hostlook"), hostLookScriptSource(),
                                            QWebEngineScript::DocumentReady));
    }
    if (m_retry)
        m_page->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    connectPage();
    if (m_view)
        m_view->setPage(m_page);
    return m_page;
}

void TCppWebBrowser::connectPage()
{
    connect(m_page, &QWebEnginePage::loadStarted, this, [this] {
        m_busy = true;
        if (m_retry)
            m_retry->loadStarted();
    });
    connect(m_page, &QWebEnginePage::loadProgress, this, [this](int percent) {
        // An attempt while the page is down is not news for the window until it succeeds.
        if (!m_retry || !m_retry->attempting())
            emit OnProgressChange(percent, 100);
    });
    connect(m_page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        if (m_retry && info.status() != QWebEngineLoadingInfo::LoadStartedStatus)
            m_retry->loadEnded(m_page, info, m_isCommand && m_isCommand(UrlText(info.url())));
    });
    connect(m_page, &QWebEnginePage::titleChanged, this, &TCppWebBrowser::reportTitle);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status == QWebEnginePage::NormalTerminationStatus || m_recovering)
                    return;
                m_recovering = true;
                // Reload from the event loop: the page is still tearing the old renderer down.
                QTimer::singleShot(0, this, [this] {
                    if (m_page)
                        m_page->triggerAction(QWebEnginePage::Reload);
                });
            });
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        m_busy = false;
        if (!ok && m_retry && m_retry->attempting()) {
            // A failed attempt: the window still sees the offline page it was told about.
            // Engine quirk (Qt WebEngine 6.4, Chromium 102): loadFinished comes before the loadingChanged
            // that says why, so the attempt is still marked here.
            m_refusedPending = false;
            return;
        }
        if (ok)
            m_recovering = false;
        // Engine quirk (Qt WebEngine 6.4, Chromium 102): a navigation refused by a handler ends as a failed
        // load; it is no document.
        const bool refused = !ok && m_refusedPending;
        m_refusedPending = false;
        if (!refused)
            m_lastLoadOk = ok;
        emit OnDownloadComplete();
        if (!refused)
            emit OnDocumentComplete(LocationURL());
    });
}

void TCppWebBrowser::ensureView()
{
    if (m_view)
        return;
    m_view = new QWebEngineView(this);
    if (m_hostLook)
        m_view->setContextMenuPolicy(Qt::NoContextMenu);
    layout()->addWidget(m_view);
    // Focus given to the browser reaches the page, so keys go to it.
    setFocusProxy(m_view);
    m_view->setPage(ensurePage());
}

void TCppWebBrowser::prepare()
{
    ensureView();
}

void TCppWebBrowser::showEvent(QShowEvent *event)
{
    ensureView();
    QWidget::showEvent(event);
}

void TCppWebBrowser::Navigate(const QString &url)
{
    navigateFor(url, QUrl());
}

void TCppWebBrowser::navigateFor(const QString &url, const QUrl &opener)
{
    const QUrl address(url, QUrl::TolerantMode);
    if (address.scheme().compare(QLatin1String("javascript"), Qt::CaseInsensitive) == 0)
        return;
    BrowserPage *page = ensurePage();
    m_busy = true;
    page->setNextShellOpener(opener);
    page->load(address);
}

void TCppWebBrowser::installGeometryScript(BrowserPage *page)
{
    // The mark is quoted into the script's source; only its first character needs escaping.
    QString mark = page->geometryMark();
    mark.replace(QLatin1String("\x01"), QLatin1String("\\x01"));
    const QString name = QStringLiteral("sorvane-geometry");
    for (const QWebEngineScript &old : page->scripts().find(name))
        page->scripts().remove(old);
    page->scripts().insert(makeScript(name,
                                      geometryScriptSource(QLatin1Char('\'') + mark + QLatin1Char('\'')),
                                      QWebEngineScript::DocumentCreation));
}

void TCppWebBrowser::requestBodyText(const std::function<void(const QString &)> &done)
{
    if (!m_page) {
        done(QString());
        return;
    }
    runScript(QStringLiteral("document.body ? document.body.innerText : ''"), [done](const QVariant &result) {
        done(result.typeId() == QMetaType::QString ? result.toString() : QString());
    });
}

QString TCppWebBrowser::BodyText()
{
    QVariant body;
    if (!m_page || !runScriptAndWait(QStringLiteral("document.body ? document.body.innerText : ''"), &body))
        return QString();
    return body.typeId() == QMetaType::QString ? body.toString() : QString();
}

bool TCppWebBrowser::runScriptAndWait(const QString &script, QVariant *result)
{
    // The engine answers when it can, at the latest when the page goes, which may be long after
    // this wait gave up: the answer lands in state of its own, never in this frame.
    const auto answer = std::make_shared<std::optional<QVariant>>();
    runScript(script, [answer](const QVariant &value) { *answer = value; });
    const QPointer<TCppWebBrowser> guard(this);
    if (!WaitUntil([&answer, &guard] { return answer->has_value() || !guard; }) || !answer->has_value())
        return false;
    if (result)
        *result = **answer;
    return true;
}

void TCppWebBrowser::runScript(const QString &script, const std::function<void(const QVariant &)> &done)
{
    BrowserPage *page = ensurePage();
    if (done)
        page->runJavaScript(script, QWebEngineScript::MainWorld, done);
    else
        page->runJavaScript(script, QWebEngineScript::MainWorld);
}

void TCppWebBrowser::Refresh()
{
    if (isOffline())
        m_retry->retryNow();
    else if (m_page)
        m_page->triggerAction(QWebEnginePage::Reload);
}

void TCppWebBrowser::Refresh2(int level)
{
    if (isOffline()) {
        m_retry->retryNow();
        return;
    }
    if (!m_page)
        return;
    m_page->triggerAction(level >= 3 ? QWebEnginePage::ReloadAndBypassCache : QWebEnginePage::Reload);
}

void TCppWebBrowser::GoBack()
{
    stepHistory(-1);
}

void TCppWebBrowser::GoForward()
{
    stepHistory(1);
}

void TCppWebBrowser::stepHistory(int offset)
{
    // Engine quirk (Qt WebEngine 6.4, Chromium 102): its Back and Forward pass over entries that a page
    // left without a user gesture (a script navigation from a timer); one step is one entry here.
    if (!m_page)
        return;
    QWebEngineHistory *history = m_page->history();
    const int target = history->currentItemIndex() + offset;
    // Past either end nothing happens, as with the browser's own buttons.
    if (target < 0 || target >= history->count())
        return;
    history->goToItem(history->itemAt(target));
}

QString TCppWebBrowser::LocationURL() const
{
    // The offline page stands in for the address it is trying; the address stays the browser's.
    if (isOffline())
        return UrlText(m_retry->address());
    return m_page ? UrlText(m_page->url()) : QString();
}

QString TCppWebBrowser::LocationName() const
{
    if (!m_page)
        return QString();
    if (m_documentTitle && m_documentTitleFor == m_page->title())
        return *m_documentTitle;
    return TitleAsReported(m_page->title(), m_page->url());
}

void TCppWebBrowser::reportTitle(const QString &title)
{
    m_documentTitle.reset();
    if (!TitleLooksMadeUp(title, m_page->url())) {
        emit OnTitleChange(title);
        return;
    }
    // Engine quirk (Qt WebEngine 6.4, Chromium 102): an empty <title> is titled with the address, as a page
    // without one is; only the document tells them apart, and only once it has been parsed.
    m_page->runJavaScript(titleQuerySource(), QWebEngineScript::MainWorld);
}

void TCppWebBrowser::reportDocumentTitle(const QString &answer)
{
    // An answer for a title since replaced is dropped: the new title brings its own.
    if (!m_page || !TitleLooksMadeUp(m_page->title(), m_page->url()))
        return;
    // "1" and the document's title when it has a title element, "0" when it has none.
    m_documentTitle =
        answer.startsWith(QLatin1Char('1')) ? answer.mid(1) : TitleAsReported(m_page->title(), m_page->url());
    m_documentTitleFor = m_page->title();
    const QString title = *m_documentTitle;
    emit OnTitleChange(title);
}

void TCppWebBrowser::applyHostLook()
{
    if (m_hostLook)
        return;
    m_hostLook = true;
    if (m_view)
        m_view->setContextMenuPolicy(Qt::NoContextMenu);
    if (m_page) {
        m_page->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
        m_page->scripts().insert(makeScript(QStringLiteral("sorvane-hostlook"), hostLookScriptSource(),
                                            QWebEngineScript::DocumentReady));
        // The page already shown gets the look at once.
        m_page->runJavaScript(hostLookScriptSource(), QWebEngineScript::MainWorld);
    }
}

qint64 TCppWebBrowser::rendererPid() const
{
    return m_page ? m_page->renderProcessPid() : 0;
}

void TCppWebBrowser::setRetryOffline(bool on)
{
    if (on == (m_retry != nullptr))
        return;
    if (on) {
        m_retry = new OfflineRetry(this);
        connect(m_retry, &OfflineRetry::attemptDue, this, &TCppWebBrowser::loadAttempt);
    } else {
        delete m_retry;
        m_retry = nullptr;
    }
    // The engine's own error page would flash up at every failed attempt.
    if (m_page)
        m_page->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, !on);
}

bool TCppWebBrowser::isOffline() const
{
    return m_retry && m_retry->active();
}

void TCppWebBrowser::loadAttempt(const QUrl &address)
{
    m_busy = true;
    ensurePage()->load(address);
}

void TCppWebBrowser::retryRequested()
{
    if (m_retry)
        m_retry->retryNow();
}

void TCppWebBrowser::releasePage()
{
    if (m_retry)
        m_retry->stop();
    if (m_view)
        m_view->setPage(nullptr);
    delete m_page;
    m_page = nullptr;
    m_busy = false;
}

bool TCppWebBrowser::isCommandFor(const QString &url) const
{
    return m_isCommand && BrowserEngine::serviceOrigins() && m_isCommand(url);
}

bool TCppWebBrowser::beforeNavigate(const QString &url, const NavigationRequest &request)
{
    bool cancel = false;
    const CommandVerdict verdict =
        isCommandFor(url) ? JudgeCommand(request, *BrowserEngine::serviceOrigins()) : CommandVerdict::Obey;
    // The request goes on to the gate, which learns its initiator and ends it (see CommandGate).
    if (verdict == CommandVerdict::AskEngine)
        return true;
    if (verdict == CommandVerdict::Refuse)
        cancel = true;
    else
        emit OnBeforeNavigate2(url, cancel);
    refused(cancel && request.mainFrame);
    return !cancel;
}

void TCppWebBrowser::commandJudged(const QString &url, const NavigationRequest &request)
{
    refused(request.mainFrame);
    if (!MayCommand(request, *BrowserEngine::serviceOrigins()))
        return;
    // Run from the event loop: the engine is still inside the request, and commands may wait.
    QTimer::singleShot(0, this, [this, url] {
        bool cancel = false;
        emit OnBeforeNavigate2(url, cancel);
    });
}

void TCppWebBrowser::refused(bool mainFrame)
{
    if (mainFrame)
        m_refusedPending = true;
}

QWebEnginePage *TCppWebBrowser::newWindowPage()
{
    TCppWebBrowser *target = nullptr;
    bool cancel = false;
    emit OnNewWindow2(target, cancel);
    if (cancel)
        return nullptr;
    // A window is the opener's: what it loads is judged by the document that opened it.
    const auto openerTrusted = [](const QUrl &opener) {
        const std::optional<QStringList> &service = BrowserEngine::serviceOrigins();
        return !service || service->contains(OriginOf(opener));
    };
    if (target && target->m_newWindowsAsNavigation) {
        // Handing the engine the target's own page would replace its contents and history.
        const QPointer<TCppWebBrowser> into(target);
        return new NewWindowCatcher(BrowserEngine::profile(), [into](const QString &address,
                                                                     const QUrl &opener) {
            // An opener nobody named stands for no origin at all.
            if (into)
                into->navigateFor(address, opener.isEmpty() ? QUrl(QStringLiteral("about:blank")) : opener);
        });
    }
    if (target) {
        BrowserPage *page = target->ensurePage();
        page->handOut();
        return page;
    }
    // Nobody takes the window: it goes to the system's browser, as a new window would, when the
    // service opened it.
    return new NewWindowCatcher(BrowserEngine::profile(),
                                [openerTrusted](const QString &address, const QUrl &opener) {
                                    if (openerTrusted(opener))
                                        OpenPageAddressInSystemBrowser(address);
                                });
}

void TCppWebBrowser::reportGeometry(const QString &key, int value)
{
    if (key == QLatin1String("left"))
        emit OnWindowSetLeft(value);
    else if (key == QLatin1String("top"))
        emit OnWindowSetTop(value);
    else if (key == QLatin1String("width"))
        emit OnWindowSetWidth(value);
    else if (key == QLatin1String("height"))
        emit OnWindowSetHeight(value);
}
