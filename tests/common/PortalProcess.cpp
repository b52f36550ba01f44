#include "PortalProcess.h"

#include "TestCertificates.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSslConfiguration>
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
        m_error = QStringLiteral("already running");
        return false;
    }
    m_baseUrl.clear();
    m_process.setProgram(QStringLiteral(SORVANE_PORTAL_BIN));
    // Our port first, so that a --port among the extra arguments wins.
    m_process.setArguments(QStringList{QStringLiteral("--port"), QStringLiteral("0")} + extraArguments);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start();
    if (!m_process.waitForStarted(startTimeoutMs)) {
        m_error = m_process.errorString();
        return false;
    }

    static const QRegularExpression listening(
        QStringLiteral("portal listening on (https?://127\\.0\\.0\\.1:\\d+)"));
    QByteArray output;
    const QDeadlineTimer deadline(startTimeoutMs);
    while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
        m_process.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
        output += m_process.readAllStandardOutput();
        const QRegularExpressionMatch match = listening.match(QString::fromUtf8(output));
        if (match.hasMatch()) {
            m_baseUrl = match.captured(1);
            return true;
        }
    }
    m_error = QStringLiteral("portal did not report listening: ") +
              QString::fromUtf8(output + m_process.readAllStandardError());
    stop(1000);
    return false;
}

bool PortalProcess::startTls(const TestCertificates &certificates, const QStringList &extraArguments)
{
    m_authority = QSslCertificate::fromPath(certificates.caFile());
    return start(certificates.portalArguments() + extraArguments);
}

bool PortalProcess::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

int PortalProcess::stop(int timeoutMs)
{
    if (!isRunning())
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    m_process.terminate();
    if (m_process.waitForFinished(timeoutMs) && m_process.exitStatus() == QProcess::NormalExit)
        return m_process.exitCode();
    m_process.kill();
    m_process.waitForFinished(timeoutMs);
    return -1;
}

int PortalProcess::port() const
{
    return QUrl(m_baseUrl).port();
}

QUrl PortalProcess::url(const QString &pathAndQuery) const
{
    return QUrl(m_baseUrl + pathAndQuery);
}

bool PortalProcess::setFault(const QString &path, const QString &setting)
{
    bool ok = false;
    get(QStringLiteral("/__control/fault?path=%1&setting=%2").arg(encoded(path), encoded(setting)), &ok);
    return ok;
}

bool PortalProcess::setVersion(const QString &text)
{
    bool ok = false;
    get(QStringLiteral("/__control/version?text=%1").arg(encoded(text)), &ok);
    return ok;
}

bool PortalProcess::refuseConnectionsFor(int seconds)
{
    bool ok = false;
    get(QStringLiteral("/__control/outage?seconds=%1").arg(seconds), &ok);
    return ok;
}

bool PortalProcess::isAnswering()
{
    bool ok = false;
    get(QStringLiteral("/__log"), &ok);
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
    if (m_baseUrl.isEmpty())
        return {};
    QNetworkAccessManager manager;
    QNetworkRequest request(url(pathAndQuery));
    if (!m_authority.isEmpty()) {
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        ssl.setCaCertificates(m_authority);
        request.setSslConfiguration(ssl);
    }
    QNetworkReply *reply = manager.get(request);
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
        m_error = reply->errorString();
    reply->deleteLater();
    return body;
}

int RequestsFor(const QStringList &log, const QString &path)
{
    int count = 0;
    for (const QString &line : log) {
        if (line.section(QLatin1Char('\t'), 1, 1) == path)
            ++count;
    }
    return count;
}
