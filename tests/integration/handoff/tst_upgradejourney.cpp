#include "PortalProcess.h"
#include "TestCertificates.h"
#include "TestFiles.h"
#include "UpgraderTestSupport.h"
#include "WindowTitles.h"
#include "XWindows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The whole upgrade as a user meets it: the built client logs in automatically against a portal
// that announces a newer version, the user says OK, the real upgrader replaces the client's program
// file with the one the portal serves and starts it again.
class UpgradeJourneyTest : public QObject
{
    Q_OBJECT

private slots:
    void newerVersionIsInstalledAndStarted();
    void olderVersionIsRefused();
    void overTls_data();
    void overTls();

private:
    static bool install(const QString &from, const QString &to);
    // The client and the upgrader in folder, logging in automatically as the demo user at webroot.
    static bool installClient(const QTemporaryDir &folder, const QString &webroot);
    static bool start(QProcess &client, const QTemporaryDir &folder, const QProcessEnvironment &environment);
    // Says OK to the upgrade question and follows the upgrader until the new program runs.
    static void agreeAndFollowUpgrade(QProcess &client, const QTemporaryDir &folder);
};

bool UpgradeJourneyTest::install(const QString &from, const QString &to)
{
    return QFile::copy(from, to) &&
           QFile::setPermissions(to, QFile::permissions(to) | QFile::ExeOwner | QFile::ExeUser);
}

bool UpgradeJourneyTest::installClient(const QTemporaryDir &folder, const QString &webroot)
{
    return install(QStringLiteral(SORVANE_CLIENT_BIN), folder.filePath("clikw730")) &&
           install(QStringLiteral(SORVANE_UPGRADER_BIN), folder.filePath("zunup")) &&
           WriteLinkSettings(folder.filePath("mainkw.ini"), {{"webroot", webroot},
                                                             {"savepass", "1"},
                                                             {"aotologin", "1"},
                                                             {"userid", "demo"},
                                                             {"userpass", "demo123"},
                                                             {"userrole", ""}});
}

bool UpgradeJourneyTest::start(QProcess &client, const QTemporaryDir &folder,
                               const QProcessEnvironment &environment)
{
    client.setProcessEnvironment(environment);
    client.setWorkingDirectory(folder.path());
    client.setProcessChannelMode(QProcess::ForwardedChannels);
    client.start(folder.filePath("clikw730"), {});
    return client.waitForStarted();
}

void UpgradeJourneyTest::agreeAndFollowUpgrade(QProcess &client, const QTemporaryDir &folder)
{
    const QString question = xwindows::waitFor(titles::kUpgradeQuestion, 30000);
    QVERIFY2(!question.isEmpty(), "no upgrade question");
    QVERIFY(xwindows::sendKey(question, QStringLiteral("Return")));

    // The upgrader downloads, stops the client, waits its fixed 3 s and replaces the program.
    QVERIFY(!xwindows::waitFor(titles::kUpgrader, 15000).isEmpty());
    QVERIFY(client.waitForFinished(30000));
    const QString done = xwindows::waitFor(titles::kPrompt, 30000);
    QVERIFY2(!done.isEmpty(), "no success prompt");
    QCOMPARE(UpgraderTest::markerOf(folder.filePath("clikw730")), QStringLiteral("new"));
    QVERIFY(QFile::exists(folder.filePath("downfile.tmp")));
    QVERIFY(xwindows::sendKey(done, QStringLiteral("Return")));

    // The new program runs from the client's path with no arguments.
    QVERIFY(UpgraderTest::waitForRuns(folder.path(), 1, 15000));
    const QList<UpgraderTest::Run> runs = UpgraderTest::runsIn(folder.path());
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs.first().marker, QStringLiteral("new"));
    QVERIFY(runs.first().arguments.isEmpty());
    QVERIFY(xwindows::waitGone(titles::kUpgrader));
    UpgraderTest::killAll(folder.path());
}

void UpgradeJourneyTest::newerVersionIsInstalledAndStarted()
{
    PortalProcess portal;
    QVERIFY2(portal.start({"--version", "3.0.06;3.0.01", "--download",
                           UpgraderTest::standInBinary(UpgraderTest::Build::New)}),
             qPrintable(portal.errorString()));
    QTemporaryDir folder;
    QVERIFY(installClient(folder, portal.baseUrl()));

    QProcess running;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("SORVANE_DOWNLOAD_BASE", portal.baseUrl());
    QVERIFY(start(running, folder, environment));
    agreeAndFollowUpgrade(running, folder);
    if (QTest::currentTestFailed())
        return;

    // The portal saw the login, the version page and the download, in that order.
    const QString log = portal.requestLog().join('\n');
    const int login = log.indexOf("/clilogin/clilogin.jsp");
    const int version = log.indexOf("/clilogin/ver.html");
    const int download = log.indexOf("/download/clikw730exe");
    QVERIFY(login >= 0 && login < version && version < download);
}

// A service (or someone on the way) offering an older build, signed as what it is: the client
// asks, as for any other version, but the upgrader reads the built client's own version from its
// program file and refuses, with the download-failure prompt; the client goes on running untouched.
void UpgradeJourneyTest::olderVersionIsRefused()
{
    PortalProcess portal;
    QVERIFY2(portal.start({"--version", "3.0.04;3.0.01", "--download",
                           UpgraderTest::standInBinary(UpgraderTest::Build::New)}),
             qPrintable(portal.errorString()));
    QTemporaryDir folder;
    QVERIFY(installClient(folder, portal.baseUrl()));
    const QByteArray before = FileHash(folder.filePath("clikw730"));
    QProcess client;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("SORVANE_DOWNLOAD_BASE", portal.baseUrl());
    QVERIFY(start(client, folder, environment));

    const QString question = xwindows::waitFor(titles::kUpgradeQuestion, 30000);
    QVERIFY2(!question.isEmpty(), "no upgrade question");
    QVERIFY(xwindows::sendKey(question, QStringLiteral("Return")));
    QVERIFY(!xwindows::waitFor(titles::kUpgrader, 15000).isEmpty());
    const QString prompt = xwindows::waitFor(titles::kPrompt, 30000);
    QVERIFY2(!prompt.isEmpty(), "no download failure prompt");
    // Both halves were fetched and judged before the refusal.
    QCOMPARE(RequestsFor(portal.requestLog(), "/download/clikw730exe.minisig"), 1);
    QVERIFY(xwindows::sendKey(prompt, QStringLiteral("Return")));
    QVERIFY(xwindows::waitGone(titles::kUpgrader));

    QCOMPARE(client.state(), QProcess::Running);
    QCOMPARE(FileHash(folder.filePath("clikw730")), before);
    QVERIFY(!QFile::exists(folder.filePath("downfile.tmp")));
    client.terminate();
    QVERIFY(client.waitForFinished(15000));
}

void UpgradeJourneyTest::overTls_data()
{
    QTest::addColumn<bool>("trusted");
    QTest::newRow("certificate from the trusted authority") << true;
    QTest::newRow("certificate from an unknown authority") << false;
}

// The same journey with every page and the download over https. The engine trusts the test's
// authority through the user's own NSS database, the upgrader through SSL_CERT_FILE.
void UpgradeJourneyTest::overTls()
{
    QFETCH(bool, trusted);
    TestCertificates authority;
    QVERIFY2(authority.create(), qPrintable(authority.errorString()));
    TestCertificates unknown;
    QVERIFY2(unknown.create(QStringLiteral("Unknown Test CA")), qPrintable(unknown.errorString()));
    QTemporaryDir home;
    QVERIFY2(authority.trustForEngine(home.path()), qPrintable(authority.errorString()));

    PortalProcess portal;
    QVERIFY2(portal.startTls(trusted ? authority : unknown,
                             {"--download", UpgraderTest::standInBinary(UpgraderTest::Build::New)}),
             qPrintable(portal.errorString()));
    QVERIFY(portal.baseUrl().startsWith("https://"));
    QTemporaryDir folder;
    QVERIFY(installClient(folder, portal.baseUrl()));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    environment.insert("SSL_CERT_FILE", authority.caFile());
    environment.insert("SORVANE_DOWNLOAD_BASE", portal.baseUrl());

    QProcess client;
    QVERIFY(start(client, folder, environment));
    if (!trusted) {
        // Refused in the handshake: the fixed login failure, no request reached the portal.
        const QString failed = xwindows::waitFor(titles::kLoginFailed, 45000);
        QVERIFY2(!failed.isEmpty(), "no login failure");
        QVERIFY(portal.requestLog().filter("/clilogin/").isEmpty());
        QVERIFY(xwindows::sendKey(failed, QStringLiteral("Return")));

        // The upgrader refuses the same certificate: its failure prompt, the client untouched.
        const QByteArray before = FileHash(folder.filePath("clikw730"));
        QProcess upgrader;
        upgrader.setProcessEnvironment(environment);
        upgrader.start(folder.filePath("zunup"), {folder.filePath("clikw730"), "000"});
        QVERIFY(upgrader.waitForStarted());
        const QString prompt = xwindows::waitFor(titles::kPrompt, 30000);
        QVERIFY2(!prompt.isEmpty(), "no download failure prompt");
        QVERIFY(xwindows::sendKey(prompt, QStringLiteral("Return")));
        QVERIFY(upgrader.waitForFinished(15000));
        QCOMPARE(client.state(), QProcess::Running);
        QCOMPARE(FileHash(folder.filePath("clikw730")), before);
        QVERIFY(portal.requestLog().filter("/download/").isEmpty());
        client.terminate();
        QVERIFY(client.waitForFinished(15000));
        return;
    }

    // First run: the version is current, the main window's three pages load over https.
    for (const QString page : {"index01", "index02", "index03"})
        QTRY_VERIFY_WITH_TIMEOUT(
            !portal.requestLog().filter(QRegularExpression("/__beacon\tpage=" + page + "$")).isEmpty(),
            45000);
    client.terminate();
    QVERIFY(client.waitForFinished(15000));

    // Second run: a newer version is announced and installed over https.
    QVERIFY(portal.setVersion("3.0.06;3.0.01"));
    QProcess again;
    QVERIFY(start(again, folder, environment));
    agreeAndFollowUpgrade(again, folder);
    if (QTest::currentTestFailed())
        return;
    // The program itself was fetched once.
    QCOMPARE(portal.requestLog().filter(QRegularExpression("\t/download/clikw730exe\t")).size(), 1);
}

UPGRADER_TEST_MAIN(UpgradeJourneyTest, QCoreApplication)
#include "tst_upgradejourney.moc"
