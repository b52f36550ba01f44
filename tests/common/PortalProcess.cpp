#include "PortalProcess.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>

namespace {

const int startTimeoutMs = 10000;
const int requestTimeoutMs = 10000;

QString encoded(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

} // namespace

PortalProcess::~PortalProcess()
{
    stop();
}

bool PortalProcess::start(const QStringList &extraArguments)
{
    if (isRunning()) {
        error_ = QStringLiteral("already running");
        return false;
    }
    baseUrl_.clear();
    process_.setProgram(QStringLiteral(SORVANE_PORTAL_BIN));
    // Our port first, so that a --port among the extra arguments wins.
    process_.setArguments(QStringList{QStringLiteral("--port"), QStringLiteral("0")} + extraArguments);
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start();
    if (!process_.waitForStarted(startTimeoutMs)) {
        error_ = process_.errorString();
        return false;
    }

    static const QRegularExpression listening(
        QStringLiteral("portal listening on (http://127\\.0\\.0\\.1:\\d+)"));
    QByteArray output;
    const QDeadlineTimer deadline(startTimeoutMs);
    while (!deadline.hasExpired() && process_.state() == QProcess::Running) {
        process_.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
        output += process_.readAllStandardOutput();
        const QRegularExpressionMatch match = listening.match(QString::fromUtf8(output));
        if (match.hasMatch()) {
            baseUrl_ = match.captured(1);
            return true;
        }
    }
    error_ = QStringLiteral("portal did not report listening: ") +
             QString::fromUtf8(output + process_.readAllStandardError());
    stop(1000);
    return false;
}

bool PortalProcess::isRunning() const
{
    return process_.state() != QProcess::NotRunning;
}

int PortalProcess::stop(int timeoutMs)
{
    if (!isRunning())
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    process_.terminate();
    if (process_.waitForFinished(timeoutMs) && process_.exitStatus() == QProcess::NormalExit)
        return process_.exitCode();
    process_.kill();
    process_.waitForFinished(timeoutMs);
    return -1;
}

int PortalProcess::port() const
{
    return QUrl(baseUrl_).port();
}

QUrl PortalProcess::url(const QString &pathAndQuery) const
{
    return QUrl(baseUrl_ + pathAndQuery);
}

bool PortalProcess::setFault(const QString &path, const QString &spec)
{
    bool ok = false;
    get(QStringLiteral("/__control/fault?path=%1&spec=%2").arg(encoded(path), encoded(spec)), &ok);
    return ok;
}

bool PortalProcess::setVersion(const QString &text)
{
    bool ok = false;
    get(QStringLiteral("/__control/version?text=%1").arg(encoded(text)), &ok);
    return ok;
}

QStringList PortalProcess::requestLog()
{
    bool ok = false;
    const QByteArray text = get(QStringLiteral("/__log"), &ok);
    if (!ok)
        return {};
    return QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QByteArray PortalProcess::get(const QString &pathAndQuery, bool *ok)
{
    *ok = false;
    if (baseUrl_.isEmpty())
        return {};
    QNetworkAccessManager manager;
    QNetworkReply *reply = manager.get(QNetworkRequest(url(pathAndQuery)));
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(requestTimeoutMs);
    loop.exec();
    const QByteArray body = reply->readAll();
    *ok = reply->error() == QNetworkReply::NoError &&
          reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200;
    if (!*ok)
        error_ = reply->errorString();
    reply->deleteLater();
    return body;
}
