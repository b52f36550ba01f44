#pragma once

#include "UpgradeRules.h"

#include <QIODevice>
#include <QObject>
#include <QPointer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// Fewer than stallBytes in any stallMs is a stall and fails the download: nothing at all for a
// minute, and a server that trickles a few bytes to hold the line. 1 KiB a minute is far below
// any real link, however slow. A download that keeps moving has no time limit of its own: the
// user watches it move and may close the window; a fixed cap would only end slow honest links.
struct DownloadLimits
{
    int stallMs = 60 * 1000;
    qint64 stallBytes = 1024;
    qint64 maxBytes = -1; // a longer body is refused while it streams; -1: any
};

// Streams one URL into a file while the event loop keeps running, so the window repaints.
// The body never sits in memory as a whole: each chunk goes to the file as it arrives.
class FileDownloader : public QObject
{
    Q_OBJECT
public:
    explicit FileDownloader(QObject *parent = nullptr);
    ~FileDownloader() override;

    // Returns when the transfer has ended one way or another. Only the body of a successful
    // (2xx) answer is written to sink, which must be open for writing.
    DownloadOutcome download(const QUrl &url, QIODevice &sink, const DownloadLimits &limits);
    // The same into a file, created or replaced at once and closed at the end.
    DownloadOutcome download(const QUrl &url, const QString &filePath, const DownloadLimits &limits);

    // Ends a running download; download() then returns with cancelled set.
    void cancel();
    bool isRunning() const { return !m_reply.isNull(); }

signals:
    void progress(qint64 received, qint64 total);

private:
    void onReadyRead();
    bool writeAvailable();

    QNetworkAccessManager *m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    QIODevice *m_sink = nullptr;
    qint64 m_maxBytes = -1;
    DownloadOutcome m_outcome;
    bool m_cancelRequested = false;
};
