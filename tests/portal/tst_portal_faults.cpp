// Fault switches, run-time control, configuration and the process life of the portal.
#include "HttpClient.h"
#include "PortalProcess.h"
#include "TestCertificates.h"

#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <vector>

namespace {

const QByteArray defaultVersion = "3.0.05;3.0.01;3.0.09";

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return file.fileName();
}

} // namespace

class PortalFaultTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void faults_data();
    void faults();
    void hangBlocksNothingElse();
    void clearingAFault();
    void outageRefusesThenServesOnTheSamePort();
    void invalidFaultSettings_data();
    void invalidFaultSettings();
    void runtimeVersion_data();
    void runtimeVersion();
    void configFile();
    void badCommandLines_data();
    void badCommandLines();
    void stopsOnSignal_data();
    void stopsOnSignal();

private:
    TestCertificates m_certificates;
};

void PortalFaultTest::initTestCase()
{
    QVERIFY2(m_certificates.create(), qPrintable(m_certificates.errorString()));
    m_certificates.trustInThisProcess();
}

void PortalFaultTest::faults_data()
{
    QTest::addColumn<QString>("faultPath");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("request");
    QTest::addColumn<int>("status");        // 0: no answer at all
    QTest::addColumn<bool>("networkError"); // the reply ends with an error
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body"); // exact unless null
    QTest::addColumn<QByteArray>("contains");
    QTest::addColumn<qint64>("bodySize"); // -1: not checked
    QTest::addColumn<qint64>("minElapsedMs");

    const QString ver = "/clilogin/ver.html";
    const QString login = "/clilogin/clilogin.jsp";
    const QString download = "/download/clikw730exe";
    QTest::newRow("delay") << ver << "delay:400" << ver << 200 << false << QByteArray("text/plain")
                           << defaultVersion << QByteArray() << qint64(-1) << qint64(400);
    QTest::newRow("status 500") << login << "status:500" << login + "?userid=demo&userpass=demo123" << 500
                                << true << QByteArray("text/html") << QByteArray() << QByteArray("500")
                                << qint64(-1) << qint64(0);
    QTest::newRow("status 503 on a page") << "/clilogin/index02.jsp"
                                          << "status:503"
                                          << "/clilogin/index02.jsp" << 503 << true << QByteArray("text/html")
                                          << QByteArray() << QByteArray("503") << qint64(-1) << qint64(0);
    QTest::newRow("empty") << ver << "empty" << ver << 200 << false << QByteArray() << QByteArray("")
                           << QByteArray() << qint64(0) << qint64(0);
    QTest::newRow("malformed") << login << "malformed" << login + "?userid=demo&userpass=demo123" << 200
                               << false << QByteArray("text/plain") << QByteArray("garbage<>|;;")
                               << QByteArray() << qint64(-1) << qint64(0);
    QTest::newRow("large") << ver << "large:1500000" << ver << 200 << false << QByteArray("text/plain")
                           << QByteArray() << QByteArray() << qint64(1500000) << qint64(0);
    QTest::newRow("large but nothing") << ver << "large:0" << ver << 200 << false << QByteArray("text/plain")
                                       << QByteArray("") << QByteArray() << qint64(0) << qint64(0);
    QTest::newRow("html instead of the program")
        << download << "html200" << download << 200 << false << QByteArray("text/html") << QByteArray()
        << QByteArray("<html") << qint64(-1) << qint64(0);
    QTest::newRow("html 404") << download << "html404" << download << 404 << true << QByteArray("text/html")
                              << QByteArray() << QByteArray("<html") << qint64(-1) << qint64(0);
    QTest::newRow("reset") << login << "reset" << login + "?userid=demo&userpass=demo123" << 0 << true
                           << QByteArray() << QByteArray() << QByteArray() << qint64(0) << qint64(0);
    QTest::newRow("truncate") << download << "truncate" << download << 200 << true
                              << QByteArray("application/octet-stream") << QByteArray() << QByteArray()
                              << qint64(-1) << qint64(0);
    // Any bytes through the switch: NUL, invalid UTF-8, a delimiter given as %7C.
    QTest::newRow("body with NUL and invalid UTF-8")
        << login << "body:x%7Cloginerr%7Cbad%00pass%FF%C3%28%7C-%7C-" << login << 200 << false
        << QByteArray("text/plain") << QByteArray("x|loginerr|bad\0pass\xff\xc3(|-|-", 26) << QByteArray()
        << qint64(-1) << qint64(0);
    QTest::newRow("garbage") << ver << "garbage:300000" << ver << 200 << false << QByteArray("text/plain")
                             << QByteArray() << QByteArray() << qint64(300000) << qint64(0);
    QTest::newRow("padded answer") << login << "padded:2000000:x%7Cloginok%7Cok%7CBig%7C" << login << 200
                                   << false << QByteArray("text/plain") << QByteArray()
                                   << QByteArray("x|loginok|ok|Big|ABCDEF") << qint64(2000000) << qint64(0);
    QTest::newRow("padded shorter than its text")
        << login << "padded:3:abcdef" << login << 200 << false << QByteArray("text/plain")
        << QByteArray("abcdef") << QByteArray() << qint64(-1) << qint64(0);
    // The download's own first bytes, one at a time.
    QTest::newRow("trickle") << download << "trickle:100:4" << download << 200 << false
                             << QByteArray("application/octet-stream") << QByteArray("PPPP") << QByteArray()
                             << qint64(4) << qint64(400);
    QTest::newRow("query is ignored")
        << ver << "status:500" << ver + "?x=1" << 500 << true << QByteArray("text/html") << QByteArray()
        << QByteArray() << qint64(-1) << qint64(0);
    QTest::newRow("other paths unaffected") << "/clilogin/ver.htm"
                                            << "status:500" << ver << 200 << false << QByteArray("text/plain")
                                            << defaultVersion << QByteArray() << qint64(-1) << qint64(0);
}

void PortalFaultTest::faults()
{
    QFETCH(QString, faultPath);
    QFETCH(QString, setting);
    QFETCH(QString, request);
    QFETCH(int, status);
    QFETCH(bool, networkError);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, contains);
    QFETCH(qint64, bodySize);
    QFETCH(qint64, minElapsedMs);

    QTemporaryDir dir;
    const QByteArray program(200000, 'P');
    const QString programFile = writeFile(dir, "new-program", program);
    QVERIFY(!programFile.isEmpty());

    // The same switch given at start, set at run time, and set at run time over TLS.
    for (const QByteArray how : {"--fault", "control", "control over TLS"}) {
        const bool atStart = how == "--fault";
        QStringList arguments{"--download", programFile};
        if (atStart)
            arguments << "--fault" << faultPath + "=" + setting;
        PortalProcess portal;
        const bool tls = how.endsWith("TLS");
        QVERIFY2(tls ? portal.startTls(m_certificates, arguments) : portal.start(arguments),
                 qPrintable(portal.errorString()));
        QCOMPARE(portal.baseUrl().startsWith(QLatin1String("https://")), tls);
        if (!atStart)
            QVERIFY(portal.setFault(faultPath, setting));

        HttpClient client;
        const HttpResult result = client.get(portal.url(request));
        const QByteArray where = how + ": " + result.body.left(200);
        QVERIFY2(result.status == status, where.constData());
        if (setting == QLatin1String("truncate"))
            // Whether the network layer calls an early close an error varies; the short body does not.
            QVERIFY(result.body.size() < program.size());
        else
            QCOMPARE(result.error != QNetworkReply::NoError, networkError);
        QVERIFY2(result.contentType.startsWith(contentType), result.contentType.constData());
        if (!body.isNull())
            QCOMPARE(result.body, body);
        QVERIFY(result.body.contains(contains));
        if (bodySize >= 0)
            QCOMPARE(qint64(result.body.size()), bodySize);
        QVERIFY(result.elapsedMs >= minElapsedMs);
        if (setting.startsWith(QLatin1String("garbage"))) {
            // Every byte value, the same bytes for every request.
            QCOMPARE(QSet<char>(result.body.cbegin(), result.body.cend()).size(), 256);
            QCOMPARE(client.get(portal.url(request)).body, result.body);
        }
        if (setting == "truncate") {
            QCOMPARE(result.contentLength, qint64(program.size()));
            QVERIFY(result.body.size() < program.size());
        }
        // Faulted requests are logged like any other.
        QVERIFY(!portal.requestLog().filter(request.section('?', 0, 0)).isEmpty());
    }
}

void PortalFaultTest::hangBlocksNothingElse()
{
    PortalProcess portal;
    QVERIFY2(portal.start({"--fault", "/clilogin/ver.html=hang"}), qPrintable(portal.errorString()));

    // More hanging requests than a default worker pool, each on its own connection.
    std::vector<std::unique_ptr<QNetworkAccessManager>> managers;
    std::vector<QNetworkReply *> hanging;
    for (int i = 0; i < 12; ++i) {
        managers.push_back(std::make_unique<QNetworkAccessManager>());
        hanging.push_back(managers.back()->get(QNetworkRequest(portal.url("/clilogin/ver.html"))));
    }
    QTRY_COMPARE_WITH_TIMEOUT(portal.requestLog().filter("/clilogin/ver.html").size(), 12, 5000);

    HttpClient other;
    const HttpResult page = other.get(portal.url("/clilogin/reg.jsp"), 5000);
    QCOMPARE(page.status, 200);
    for (QNetworkReply *reply : hanging)
        QVERIFY(!reply->isFinished());

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(portal.stop(8000), 0);
    QVERIFY2(clock.elapsed() < 8000, "stop waited for the hanging requests");
    for (QNetworkReply *reply : hanging) {
        QTRY_VERIFY(reply->isFinished());
        QVERIFY(reply->error() != QNetworkReply::NoError);
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 0);
    }
}

void PortalFaultTest::clearingAFault()
{
    PortalProcess portal;
    QVERIFY2(portal.start({"--fault", "/clilogin/ver.html=status:500"}), qPrintable(portal.errorString()));
    HttpClient client;
    QCOMPARE(client.get(portal.url("/clilogin/ver.html")).status, 500);
    QVERIFY(portal.setFault("/clilogin/ver.html", ""));
    const HttpResult cleared = client.get(portal.url("/clilogin/ver.html"));
    QCOMPARE(cleared.status, 200);
    QCOMPARE(cleared.body, defaultVersion);
}

void PortalFaultTest::outageRefusesThenServesOnTheSamePort()
{
    PortalProcess portal;
    QVERIFY2(portal.start(), qPrintable(portal.errorString()));
    HttpClient client;
    // A connection kept open from before gets no answer during the outage either.
    QCOMPARE(client.get(portal.url("/clilogin/reg.jsp")).status, 200);
    QCOMPARE(client.get(portal.url("/__control/outage?seconds=0")).status, 400);
    QVERIFY(portal.refuseConnectionsFor(3));
    QElapsedTimer clock;
    clock.start();

    const HttpResult kept = client.get(portal.url("/clilogin/reg.jsp"), 2000);
    QCOMPARE(kept.status, 0);
    HttpClient fresh;
    QTRY_COMPARE(fresh.get(portal.url("/clilogin/reg.jsp"), 2000).error,
                 QNetworkReply::ConnectionRefusedError);
    QVERIFY(clock.elapsed() < 3000);

    // Back on the same port after the outage, and stopped as usual.
    QTRY_COMPARE_WITH_TIMEOUT(fresh.get(portal.url("/clilogin/reg.jsp"), 2000).status, 200, 10000);
    QVERIFY(clock.elapsed() >= 3000);
    QCOMPARE(portal.stop(), 0);
}

void PortalFaultTest::invalidFaultSettings_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("setting");

    QTest::newRow("unknown") << "/clilogin/ver.html"
                             << "bogus";
    QTest::newRow("delay without time") << "/clilogin/ver.html"
                                        << "delay:";
    QTest::newRow("delay not a number") << "/clilogin/ver.html"
                                        << "delay:5s";
    QTest::newRow("status too small") << "/clilogin/ver.html"
                                      << "status:99";
    QTest::newRow("status without body") << "/clilogin/ver.html"
                                         << "status:204";
    QTest::newRow("negative size") << "/clilogin/ver.html"
                                   << "large:-1";
    QTest::newRow("argument not taken") << "/clilogin/ver.html"
                                        << "hang:1";
    QTest::newRow("garbage without size") << "/clilogin/ver.html"
                                          << "garbage";
    QTest::newRow("body without text") << "/clilogin/ver.html"
                                       << "body";
    QTest::newRow("padded without text") << "/clilogin/ver.html"
                                         << "padded:100";
    QTest::newRow("trickle without size") << "/download/clikw730exe"
                                          << "trickle:100";
    QTest::newRow("trickle of nothing") << "/download/clikw730exe"
                                        << "trickle:100:0";
    QTest::newRow("trickle without pause") << "/download/clikw730exe"
                                           << "trickle:0:10";
    QTest::newRow("relative path") << "clilogin/ver.html"
                                   << "hang";
}

void PortalFaultTest::invalidFaultSettings()
{
    QFETCH(QString, path);
    QFETCH(QString, setting);

    PortalProcess portal;
    QVERIFY2(portal.start(), qPrintable(portal.errorString()));
    QVERIFY(!portal.setFault(path, setting));
    HttpClient client;
    QCOMPARE(client.get(portal.url("/clilogin/ver.html")).body, defaultVersion);

    PortalProcess refused;
    QVERIFY(!refused.start({"--fault", path + "=" + setting}));
}

void PortalFaultTest::runtimeVersion_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("newer") << "3.1.00;3.0.01;3.1.09";
    QTest::newRow("delimiters and Chinese") << "a+b&c=d;版本 1";
    QTest::newRow("empty") << "";
}

void PortalFaultTest::runtimeVersion()
{
    QFETCH(QString, text);

    PortalProcess portal;
    QVERIFY2(portal.start({"--version", "9.9.99"}), qPrintable(portal.errorString()));
    HttpClient client;
    QCOMPARE(client.get(portal.url("/clilogin/ver.html")).body, QByteArray("9.9.99"));
    QVERIFY(portal.setVersion(text));
    const HttpResult changed = client.get(portal.url("/clilogin/ver.html"));
    QCOMPARE(changed.status, 200);
    QCOMPARE(QString::fromUtf8(changed.body), text);
}

void PortalFaultTest::configFile()
{
    QTemporaryDir dir;
    const QString config = writeFile(dir, "portal.conf",
                                     "# test configuration\n"
                                     "\n"
                                     "version=4.0.00;3.0.01\n"
                                     "user=cfg:p=w:配置终端:信息\r\n"
                                     "fault=/clilogin/reg.jsp=status:502\n");
    QVERIFY(!config.isEmpty());
    PortalProcess portal;
    QVERIFY2(portal.start({"--config", config}), qPrintable(portal.errorString()));
    HttpClient client;
    QCOMPARE(client.get(portal.url("/clilogin/ver.html")).body, QByteArray("4.0.00;3.0.01"));
    QCOMPARE(
        QString::fromUtf8(client.get(portal.url("/clilogin/clilogin.jsp?userid=cfg&userpass=p%3Dw")).body),
        QStringLiteral("x|loginok|登录成功|配置终端|信息"));
    QCOMPARE(client.get(portal.url("/clilogin/reg.jsp")).status, 502);

    const QString broken = writeFile(dir, "broken.conf", "version=1\nno equals sign here\n");
    PortalProcess refused;
    QVERIFY(!refused.start({"--config", broken}));
    QVERIFY(refused.errorString().contains("broken.conf:2"));
}

void PortalFaultTest::badCommandLines_data()
{
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("unknown option") << QStringList{"--colour", "blue"};
    QTest::newRow("port out of range") << QStringList{"--port", "70000"};
    QTest::newRow("user without password") << QStringList{"--user", "nocolon"};
    QTest::newRow("fault without setting") << QStringList{"--fault", "/clilogin/ver.html"};
    QTest::newRow("missing config") << QStringList{"--config", "/nonexistent/portal.conf"};
    QTest::newRow("missing value") << QStringList{"--www"};
    QTest::newRow("unwritable log") << QStringList{"--log", "/nonexistent/dir/requests.log"};
    QTest::newRow("certificate without key") << QStringList{"--tls-cert", m_certificates.certFile()};
    QTest::newRow("key without certificate") << QStringList{"--tls-key", m_certificates.keyFile()};
    QTest::newRow("key file holding a certificate")
        << QStringList{"--tls-cert", m_certificates.certFile(), "--tls-key", m_certificates.caFile()};
    QTest::newRow("missing certificate")
        << QStringList{"--tls-cert", "/nonexistent/server.pem", "--tls-key", m_certificates.keyFile()};
}

void PortalFaultTest::badCommandLines()
{
    QFETCH(QStringList, arguments);
    PortalProcess portal;
    QVERIFY(!portal.start(arguments));
    QVERIFY(!portal.isRunning());
}

void PortalFaultTest::stopsOnSignal_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void PortalFaultTest::stopsOnSignal()
{
    QFETCH(int, signal);
    PortalProcess portal;
    QVERIFY2(portal.start(), qPrintable(portal.errorString()));
    HttpClient client;
    QCOMPARE(client.get(portal.url("/clilogin/ver.html")).status, 200); // leaves a kept-alive connection

    // A fixed port that is taken cannot be used twice.
    PortalProcess second;
    QVERIFY(!second.start({"--port", QString::number(portal.port())}));

    QVERIFY(::kill(static_cast<pid_t>(portal.processId()), signal) == 0);
    QTRY_VERIFY_WITH_TIMEOUT(!portal.isRunning(), 8000);
    QCOMPARE(portal.stop(), 0);
}

QTEST_GUILESS_MAIN(PortalFaultTest)
#include "tst_portal_faults.moc"
