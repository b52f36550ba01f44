#include "TestCertificates.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>

namespace {

const int commandTimeoutMs = 30000;

// EC keys: made in a blink, and both the engine and Qt Network take them.
const QStringList ecKey{QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                        QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};

} // namespace

bool TestCertificates::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(commandTimeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        m_error = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) + QStringLiteral(": ") +
                  process.errorString() + QLatin1Char(' ') + QString::fromLocal8Bit(process.readAll());
        return false;
    }
    return true;
}

bool TestCertificates::create(const QString &authorityName)
{
    m_name = authorityName;
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    QFile extensions(m_dir.filePath(QStringLiteral("server.ext")));
    if (!extensions.open(QIODevice::WriteOnly) || extensions.write("subjectAltName=IP:127.0.0.1\n"
                                                                   "basicConstraints=critical,CA:false\n"
                                                                   "keyUsage=critical,digitalSignature\n"
                                                                   "extendedKeyUsage=serverAuth\n"
                                                                   "subjectKeyIdentifier=hash\n"
                                                                   "authorityKeyIdentifier=keyid\n") < 0) {
        m_error = extensions.errorString();
        return false;
    }
    extensions.close();
    const QString openssl = QStringLiteral("openssl");
    return run(openssl,
               QStringList{"req", "-x509"} + ecKey +
                   QStringList{"-keyout", "ca.key", "-out", "ca.pem", "-days", "2", "-subj",
                               "/CN=" + authorityName, "-addext", "basicConstraints=critical,CA:true",
                               "-addext", "keyUsage=critical,keyCertSign,cRLSign"}) &&
           run(openssl,
               QStringList{"req"} + ecKey +
                   QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=127.0.0.1"}) &&
           run(openssl, {"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                         "-CAcreateserial", "-out", "server.pem", "-days", "2", "-extfile", "server.ext"});
}

QStringList TestCertificates::portalArguments() const
{
    return {QStringLiteral("--tls-cert"), certFile(), QStringLiteral("--tls-key"), keyFile()};
}

bool TestCertificates::trustForEngine(const QString &home)
{
    const QString folder = QDir(home).filePath(QStringLiteral(".pki/nssdb"));
    const QString database = QStringLiteral("sql:") + folder;
    const QString certutil = QStringLiteral("certutil");
    if (!QFile::exists(QDir(folder).filePath(QStringLiteral("cert9.db"))) &&
        !(QDir().mkpath(folder) && run(certutil, {"-d", database, "-N", "--empty-password"})))
        return false;
    return run(certutil, {"-d", database, "-A", "-n", m_name, "-t", "C,,", "-i", caFile()});
}

void TestCertificates::trustInThisProcess() const
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.addCaCertificates(QSslCertificate::fromPath(caFile()));
    QSslConfiguration::setDefaultConfiguration(configuration);
}
