#pragma once

#include <QByteArray>
#include <QProcess>
#include <QSslCertificate>
#include <QString>
#include <QStringList>
#include <QUrl>

class TestCertificates;

// Runs the portal binary on a free loopback port for one test and stops it again on destruction.
class PortalProcess
{
public:
    PortalProcess() = default;
    ~PortalProcess();
    PortalProcess(const PortalProcess &) = delete;
    PortalProcess &operator=(const PortalProcess &) = delete;

    // Starts the portal with extra arguments (the same options as its command line) and waits up to
    // 10 s for it to listen. False with errorString() when it does not come up.
    bool start(const QStringList &extraArguments = {});
    // The same over TLS with the server certificate of certificates; the portal's own switches and
    // log are reached trusting its authority, whatever this process trusts otherwise.
    bool startTls(const TestCertificates &certificates, const QStringList &extraArguments = {});
    bool isRunning() const;
    // SIGTERM, then kill after timeoutMs. Returns the exit code, or -1 when it had to be killed.
    int stop(int timeoutMs = 5000);

    // "http://127.0.0.1:PORT" ("https://" over TLS), empty before start().
    QString baseUrl() const { return m_baseUrl; }
    int port() const;
    qint64 processId() const { return m_process.processId(); }
    // baseUrl() followed by an already encoded path and query.
    QUrl url(const QString &pathAndQuery) const;

    // Runtime switches; an empty setting clears the fault of that path.
    bool setFault(const QString &path, const QString &setting);
    bool setVersion(const QString &text);
    // The whole portal refuses connections for that long, then listens on the same port again.
    bool refuseConnectionsFor(int seconds);
    // Whether the portal answers at all now (false while it refuses connections).
    bool isAnswering();
    // The lines of GET /__log ("time\tpath\tquery").
    QStringList requestLog();

    QString errorString() const { return m_error; }

private:
    // Blocking GET with a 10 s limit; ok only for status 200.
    QByteArray get(const QString &pathAndQuery, bool *ok);

    QProcess m_process;
    QList<QSslCertificate> m_authority;
    QString m_baseUrl;
    QString m_error;
};

// How many requests of a portal's log were for `path` (its query left aside).
int RequestsFor(const QStringList &log, const QString &path);
