#include "PortalProcess.h"
#include "UpgraderTestSupport.h"
#include "XWindows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
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

private:
    static bool install(const QString &from, const QString &to);
};

bool UpgradeJourneyTest::install(const QString &from, const QString &to)
{
    return QFile::copy(from, to) &&
           QFile::setPermissions(to, QFile::permissions(to) | QFile::ExeOwner | QFile::ExeUser);
}

void UpgradeJourneyTest::newerVersionIsInstalledAndStarted()
{
    QTemporaryDir folder;
    const QString client = folder.filePath("clikw730");
    QVERIFY(install(QStringLiteral(SORVANE_CLIENT_BIN), client));
    QVERIFY(install(QStringLiteral(SORVANE_UPGRADER_BIN), folder.filePath("zunup")));

    PortalProcess portal;
    QVERIFY2(portal.start({"--version", "3.0.06;3.0.01", "--download",
                           UpgraderTest::standInBinary(UpgraderTest::Build::New)}),
             qPrintable(portal.errorString()));
    QFile settings(folder.filePath("mainkw.ini"));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[linkinfo]\nwebroot=" + portal.baseUrl().toUtf8() +
                   "\nsavepass=1\naotologin=1\nuserid=demo\nuserpass=demo123\nuserrole=\n");
    settings.close();

    QProcess running;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("SORVANE_DOWNLOAD_BASE", portal.baseUrl());
    running.setProcessEnvironment(environment);
    running.setWorkingDirectory(folder.path());
    running.setProcessChannelMode(QProcess::ForwardedChannels);
    running.start(client, {});
    QVERIFY(running.waitForStarted());

    const QString question = xwindows::waitFor(QStringLiteral("^Sorvane金融终端::升级提示$"), 30000);
    QVERIFY2(!question.isEmpty(), "no upgrade question");
    QVERIFY(xwindows::sendKey(question, QStringLiteral("Return")));

    // The upgrader downloads, stops the client, waits its fixed 3 s and replaces the program.
    QVERIFY(!xwindows::waitFor(QStringLiteral("^系统升级$"), 15000).isEmpty());
    QVERIFY(running.waitForFinished(30000));
    const QString done = xwindows::waitFor(QStringLiteral("^提示信息$"), 30000);
    QVERIFY2(!done.isEmpty(), "no success prompt");
    QCOMPARE(UpgraderTest::markerOf(client), QStringLiteral("new"));
    QVERIFY(QFile::exists(folder.filePath("downfile.tmp")));
    QVERIFY(xwindows::sendKey(done, QStringLiteral("Return")));

    // The new program runs from the client's path with no arguments.
    QVERIFY(UpgraderTest::waitForRuns(folder.path(), 1, 15000));
    const QList<UpgraderTest::Run> runs = UpgraderTest::runsIn(folder.path());
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs.first().marker, QStringLiteral("new"));
    QVERIFY(runs.first().arguments.isEmpty());
    QVERIFY(xwindows::waitGone(QStringLiteral("^系统升级$")));
    UpgraderTest::killAll(folder.path());

    // The portal saw the login, the version page and the download, in that order.
    const QString log = portal.requestLog().join('\n');
    const int login = log.indexOf("/clilogin/clilogin.jsp");
    const int version = log.indexOf("/clilogin/ver.html");
    const int download = log.indexOf("/download/clikw730exe");
    QVERIFY(login >= 0 && login < version && version < download);
}

UPGRADER_TEST_MAIN(UpgradeJourneyTest, QCoreApplication)
#include "tst_upgradejourney.moc"
