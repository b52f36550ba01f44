#include "CertificateTrust.h"

#include <QDir>
#include <QSslCertificate>
#include <QSslConfiguration>

void TrustAuthoritiesFromEnvironment()
{
    QList<QSslCertificate> added;
    const QString file = qEnvironmentVariable("SSL_CERT_FILE");
    if (!file.isEmpty())
        added += QSslCertificate::fromPath(file, QSsl::Pem, QSslCertificate::PatternSyntax::FixedString);
    // A list of folders, as OpenSSL reads it.
    const QStringList folders =
        qEnvironmentVariable("SSL_CERT_DIR").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    for (const QString &folder : folders)
        added += QSslCertificate::fromPath(QDir(folder).filePath(QStringLiteral("*")), QSsl::Pem,
                                           QSslCertificate::PatternSyntax::Wildcard);
    if (added.isEmpty())
        return;
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    // An explicit list replaces the on-demand loading of the system's folders: name those too.
    configuration.setCaCertificates(QSslConfiguration::systemCaCertificates() + added);
    QSslConfiguration::setDefaultConfiguration(configuration);
}
