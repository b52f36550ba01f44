#include "FileDownloader.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

constexpr qint64 readBufferBytes = 256 * 1024; // what may wait in memory before it reaches the file
constexpr int headBytes = 16;

} // namespace

FileDownloader::FileDownloader(QObject *parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
{}

FileDownloader::~FileDownloader()
{
    if (m_reply)
        m_reply->abort();
}

void FileDownloader::cancel()
{
    m_cancelRequested = true;
    if (m_reply)
        m_reply->abort();
}

bool FileDownloader::writeAvailable()
{
    const QByteArray chunk = m_reply->readAll();
    if (chunk.isEmpty())
        return true;
    if (m_outcome.head.size() < headBytes)
        m_outcome.head += chunk.left(headBytes - m_outcome.head.size());
    m_outcome.received += chunk.size();
    // Refused as soon as it is too long, whatever length the server announced.
    if (m_maxBytes >= 0 && m_outcome.received > m_maxBytes) {
        m_outcome.tooLarge = true;
        return false;
    }
    // Only the body of a successful answer is worth keeping; an error page is dropped.
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status < 200 || status > 299)
        return true;
    return m_sink->write(chunk) == chunk.size();
}

void FileDownloader::onReadyRead()
{
    if (!writeAvailable()) {
        m_outcome.fileOk = false;
        m_reply->abort();
    }
}

DownloadOutcome FileDownloader::download(const QUrl &url, const QString &filePath,
                                         const DownloadLimits &limits)
{
    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    DownloadOutcome outcome = download(url, file, limits);
    if (!file.flush())
        outcome.fileOk = false;
    file.close();
    if (file.error() != QFileDevice::NoError)
        outcome.fileOk = false;
    return outcome;
}

DownloadOutcome FileDownloader::download(const QUrl &url, QIODevice &sink, const DownloadLimits &limits)
{
    m_outcome = DownloadOutcome{};
    m_outcome.fileOk = true;
    m_cancelRequested = false;
    m_sink = &sink;
    m_maxBytes = limits.maxBytes;
    // The network manager also reads local files and resources: only web addresses are fetched.
    if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")) {
        m_outcome.transferOk = false;
        return m_outcome;
    }

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    // The length check needs the bytes as sent; a compressed answer would not match Content-Length.
    request.setRawHeader("Accept-Encoding", "identity");
    // Aborts the transfer when no byte has moved for this long.
    request.setTransferTimeout(limits.stallMs);

    QNetworkReply *reply = m_network->get(request);
    m_reply = reply;
    reply->setReadBufferSize(readBufferBytes);

    QEventLoop loop;
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        // A body announced as too long is not worth waiting for.
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (m_maxBytes >= 0 && length.isValid() && length.toLongLong() > m_maxBytes) {
            m_outcome.tooLarge = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::readyRead, this, &FileDownloader::onReadyRead);
    connect(reply, &QNetworkReply::downloadProgress, this, &FileDownloader::progress);
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);

    // Judged a quarter window at a time, so a trickle ends at most a quarter window late.
    constexpr int ticksPerWindow = 4;
    DownloadPace pace(ticksPerWindow, limits.stallBytes);
    bool timedOut = false;
    QTimer ticker;
    ticker.setInterval(qMax(1, limits.stallMs / ticksPerWindow));
    connect(&ticker, &QTimer::timeout, this, [&] {
        if (!timedOut && pace.stalled(m_outcome.received)) {
            timedOut = true;
            reply->abort();
        }
    });
    ticker.start();
    // The loop may also be told to end from outside (the application quitting): keep going
    // until the reply has really finished.
    while (!reply->isFinished())
        loop.exec();
    ticker.stop();

    if (m_outcome.fileOk && reply->error() == QNetworkReply::NoError && !writeAvailable())
        m_outcome.fileOk = false;
    m_outcome.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    m_outcome.contentLength = length.isValid() ? length.toLongLong() : -1;
    m_outcome.cancelled = m_cancelRequested;
    m_outcome.transferOk = reply->error() == QNetworkReply::NoError && !timedOut && !m_cancelRequested;

    m_reply = nullptr;
    m_sink = nullptr;
    reply->deleteLater();
    return m_outcome;
}
