#pragma once

#include <QString>
#include <QTemporaryDir>

// A certificate authority made for one test, with a server certificate for 127.0.0.1 that it
// signed, all made by the openssl command in a folder of its own.
class TestCertificates
{
public:
    // False with errorString() when openssl is missing or fails.
    bool create(const QString &authorityName = QStringLiteral("Sorvane Test CA"));

    QString caFile() const { return m_dir.filePath(QStringLiteral("ca.pem")); }
    QString certFile() const { return m_dir.filePath(QStringLiteral("server.pem")); }
    QString keyFile() const { return m_dir.filePath(QStringLiteral("server.key")); }
    // The portal's options that serve with this server certificate.
    QStringList portalArguments() const;

    // The engine of a process whose HOME is home trusts the authority: an entry in that user's own
    // NSS database (made when there is none yet).
    bool trustForEngine(const QString &home);
    // Qt Network in this process trusts the authority from now on.
    void trustInThisProcess() const;

    QString errorString() const { return m_error; }

private:
    bool run(const QString &program, const QStringList &arguments);

    QTemporaryDir m_dir;
    QString m_name;
    QString m_error;
};
