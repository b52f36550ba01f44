#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QUrl>

class QWebEngineLoadingInfo;
class QWebEnginePage;

// One browser's way through an outage: while its address cannot be reached the page shows the
// client's own page, and the address is loaded again on the retry schedule until it answers.
// Owned by the browser, so a closed window stops retrying with it.
class OfflineRetry : public QObject
{
    Q_OBJECT

public:
    explicit OfflineRetry(QObject *parent);

    // An address is failing now.
    bool active() const { return !m_address.isEmpty(); }
    const QUrl &address() const { return m_address; }
    // The load under way is one of ours.
    bool attempting() const { return m_attempting; }

    // A load of the page starts: it replaces any attempt still waiting.
    void loadStarted();
    // A load of the page ended (as the engine reports it after loadFinished). A command address
    // is never tried again.
    void loadEnded(QWebEnginePage *page, const QWebEngineLoadingInfo &info, bool isCommand);
    // The user's "重试", or a refresh while the page is down: try at once.
    void retryNow();
    void stop();

    // What the offline page's button writes to the console.
    static const QString &retryMarker();

signals:
    // Load `address` now; the browser counts it as an attempt.
    void attemptDue(const QUrl &address);

private:
    void schedule();
    void showOfflinePage(QWebEnginePage *page, int delayMs);
    void attempt();

    QUrl m_address;
    QElapsedTimer m_failingSince;
    QTimer m_timer;
    bool m_attempting = false;
};
