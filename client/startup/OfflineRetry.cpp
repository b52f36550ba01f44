#include "OfflineRetry.h"

#include "RetrySchedule.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>

namespace {

// Chromium's "the navigation was cancelled": nothing new was shown, the page is as it was.
constexpr int kAborted = -3;

QString writePageScript(const QString &html)
{
    // The text goes in as a JSON string literal, so nothing in it can end the script.
    const QString literal = QString::fromUtf8(QJsonDocument(QJsonArray{html}).toJson(QJsonDocument::Compact));
    return QStringLiteral(R"JS((function () {
  document.open();
  document.write(%1[0]);
  document.close();
  var button = document.getElementById('sorvane-retry');
  if (button) button.addEventListener('click', function () { console.log(%2); });
})();)JS")
        .arg(literal,
             QString::fromUtf8(
                 QJsonDocument(QJsonArray{OfflineRetry::retryMarker()}).toJson(QJsonDocument::Compact)) +
                 QStringLiteral("[0]"));
}

} // namespace

OfflineRetry::OfflineRetry(QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &OfflineRetry::attempt);
}

const QString &OfflineRetry::retryMarker()
{
    static const QString marker = QStringLiteral("\x01sorvane-retry");
    return marker;
}

void OfflineRetry::loadStarted()
{
    m_timer.stop();
}

void OfflineRetry::loadEnded(QWebEnginePage *page, const QWebEngineLoadingInfo &info, bool isCommand)
{
    m_attempting = false;
    if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus) {
        stop();
        return;
    }
    if (IsUnreachableError(info.errorCode()) && !isCommand) {
        if (!active() || info.url() != m_address) {
            m_address = info.url();
            m_failingSince.start();
        }
        const int delay = RetryDelayMs(m_failingSince.elapsed());
        // Engine quirk (Qt WebEngine 6.4, Chromium 102): with the engine's error page off a failed load
        // commits nothing and the document shown stays; it is written over with the offline page,
        // which a failed attempt leaves in place, so retries do not flicker.
        showOfflinePage(page, delay);
        m_timer.start(delay);
        return;
    }
    // A navigation that was cancelled left the offline page as it was: keep trying. Anything else
    // (an answer of the service, an error it sent) ends the outage.
    if (active() && info.errorCode() == kAborted)
        schedule();
    else
        stop();
}

void OfflineRetry::schedule()
{
    m_timer.start(RetryDelayMs(m_failingSince.elapsed()));
}

void OfflineRetry::showOfflinePage(QWebEnginePage *page, int delayMs)
{
    page->runJavaScript(writePageScript(OfflinePageHtml(m_address.toString(), (delayMs + 999) / 1000)));
}

void OfflineRetry::retryNow()
{
    if (!active() || m_attempting)
        return;
    m_timer.stop();
    // Not from inside the engine's callback that asked for it.
    QTimer::singleShot(0, this, &OfflineRetry::attempt);
}

void OfflineRetry::attempt()
{
    if (!active() || m_attempting)
        return;
    m_attempting = true;
    emit attemptDue(m_address);
}

void OfflineRetry::stop()
{
    m_timer.stop();
    m_address.clear();
    m_attempting = false;
}
