#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QUrl>

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
    bool isRunning() const;
    // SIGTERM, then kill after timeoutMs. Returns the exit code, or -1 when it had to be killed.
    int stop(int timeoutMs = 5000);

    // "http://127.0.0.1:PORT", empty before start().
    QString baseUrl() const { return baseUrl_; }
    int port() const;
    qint64 processId() const { return process_.processId(); }
    // baseUrl() followed by an already encoded path and query.
    QUrl url(const QString &pathAndQuery) const;

    // Runtime switches; an empty spec clears the fault of that path.
    bool setFault(const QString &path, const QString &spec);
    bool setVersion(const QString &text);
    // The lines of GET /__log ("time\tpath\tquery").
    QStringList requestLog();

    QString errorString() const { return error_; }

private:
    // Blocking GET with a 10 s limit; ok only for status 200.
    QByteArray get(const QString &pathAndQuery, bool *ok);

    QProcess process_;
    QString baseUrl_;
    QString error_;
};
