#include "InstalledClient.h"
#include "PortalProcess.h"
#include "TestFiles.h"
#include "UpgraderTestSupport.h"
#include "WindowTitles.h"
#include "XWindows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The installed programs as a user meets them: installed into a scratch prefix, started through the
// menu entry's start script, checked from outside (X windows, the settings file, the portal's log).
class InstalledJourneysTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installLaysOutEveryFile();
    void firstStartThenTypedLogin();
    void automaticLoginFromPreparedSettings();
    void secondStartShowsMessageAndEnds();
    void faultyServiceShowsMessageAndLoginStaysUsable_data();
    void faultyServiceShowsMessageAndLoginStaysUsable();
    void serviceDownShowsMessageAndLoginStaysUsable();
    void upgradeReplacesTheInstalledClient();
    void cleanup();

private:
    QString settingsOf(const QString &dataHome) const
    {
        return dataHome + QStringLiteral("/sorvane/mainkw.ini");
    }
    // The e2e user's settings, remembered password and all, pointed at this portal.
    static bool writeSettings(const QString &path, const PortalProcess &portal, bool autoLogin);
    QProcess *startClient(const QString &prefix, const QString &dataHome, const PortalProcess &portal);
    struct Started
    {
        QProcess *client;
        QString login; // the login window's id; empty when none showed
    };
    Started startToLoginWindow(const QString &dataHome, const PortalProcess &portal);
    static void stop(QProcess &process);
    static QRect trayIcon();

    QTemporaryDir m_prefix;
    QString m_installLog;
    bool m_installed = false;
    QList<QProcess *> m_started;
};

void InstalledJourneysTest::initTestCase()
{
    QVERIFY(m_prefix.isValid());
    m_installed = InstalledClient::installInto(m_prefix.path(), &m_installLog);
    QVERIFY2(m_installed, qPrintable(m_installLog));
}

void InstalledJourneysTest::cleanup()
{
    for (QProcess *process : std::as_const(m_started))
        stop(*process);
    qDeleteAll(m_started);
    m_started.clear();
}

void InstalledJourneysTest::stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(15000)) {
        process.kill();
        process.waitForFinished();
    }
}

bool InstalledJourneysTest::writeSettings(const QString &path, const PortalProcess &portal, bool autoLogin)
{
    return QDir().mkpath(QFileInfo(path).absolutePath()) &&
           WriteLinkSettings(path, {{"webroot", portal.baseUrl()},
                                    {"savepass", "1"},
                                    {"aotologin", autoLogin ? "1" : "0"},
                                    {"userid", "e2e"},
                                    {"userpass", "pw-e2e"},
                                    {"userrole", ""}});
}

QProcess *InstalledJourneysTest::startClient(const QString &prefix, const QString &dataHome,
                                             const PortalProcess &portal)
{
    auto *client = m_started.emplace_back(new QProcess);
    InstalledClient::start(*client, prefix, dataHome, portal.baseUrl());
    return client;
}

InstalledJourneysTest::Started InstalledJourneysTest::startToLoginWindow(const QString &dataHome,
                                                                         const PortalProcess &portal)
{
    QProcess *client = startClient(m_prefix.path(), dataHome, portal);
    if (!client->waitForStarted())
        return {client, QString()};
    return {client, xwindows::waitFor(titles::kLogin, 30000)};
}

void InstalledJourneysTest::installLaysOutEveryFile()
{
    for (const QString &file : InstalledClient::expectedFiles())
        QVERIFY2(QFileInfo::exists(m_prefix.filePath(file)), qPrintable(file));
    // Side by side, so the client finds the upgrader in its own folder.
    QVERIFY(QFileInfo(m_prefix.filePath("bin/clikw730")).isExecutable());
    QVERIFY(QFileInfo(m_prefix.filePath("bin/zunup")).isExecutable());
    QVERIFY(QFileInfo(m_prefix.filePath("bin/sorvane")).isExecutable());

    QFile entry(m_prefix.filePath("share/applications/sorvane.desktop"));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split(QLatin1Char('\n'));
    QVERIFY(lines.contains(QStringLiteral("Name=Sorvane金融终端")));
    QVERIFY(lines.contains(QStringLiteral("Exec=sorvane")));
    QVERIFY(lines.contains(QStringLiteral("Icon=sorvane")));
}

void InstalledJourneysTest::firstStartThenTypedLogin()
{
    QVERIFY(m_installed);
    QTemporaryDir data;
    PortalProcess portal;
    QVERIFY2(portal.start({"--user", "e2e:pw-e2e:E2E行情终端"}), qPrintable(portal.errorString()));

    // First start with nothing in the user's folder: the settings file appears with the built-in
    // web root, the login window shows centred on the screen.
    const auto [first, login] = startToLoginWindow(data.path(), portal);
    QVERIFY2(!login.isEmpty(), "no login window");
    QFile settings(settingsOf(data.path()));
    QVERIFY2(settings.exists(), "mainkw.ini not created in the user's folder");
    QVERIFY(settings.open(QIODevice::ReadOnly));
    const QByteArray created = settings.readAll();
    settings.close();
    QVERIFY2(created.contains("webroot="), created.constData());
    const QRect place = xwindows::geometry(login);
    QVERIFY(place.isValid());
    QVERIFY2(qAbs(place.center().x() - 640) <= 8 && qAbs(place.center().y() - 512) <= 8,
             qPrintable(QStringLiteral("login window at %1,%2 %3x%4")
                            .arg(place.x())
                            .arg(place.y())
                            .arg(place.width())
                            .arg(place.height())));
    QVERIFY(xwindows::sendKey(login, QStringLiteral("alt+F4")));
    QVERIFY2(xwindows::waitGone(titles::kLogin), "the login window stayed after alt+F4");
    QVERIFY2(first->waitForFinished(30000), "the client did not end after its login window closed");
    QCOMPARE(first->exitCode(), 0);

    // The user edits the file the client made to point it at the service, starts it again and
    // types the login.
    QVERIFY(settings.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const QByteArray edited =
        QByteArray(created).replace(QByteArray(SORVANE_DEFAULT_WEBROOT), portal.baseUrl().toUtf8());
    QCOMPARE(settings.write(edited), edited.size());
    settings.close();
    const auto [second, again] = startToLoginWindow(data.path(), portal);
    QVERIFY2(!again.isEmpty(), "no login window on the second start");
    QVERIFY(xwindows::sendKey(again, QStringLiteral("ctrl+a"))); // activates it; the name box has focus
    QVERIFY(xwindows::typeText(QStringLiteral("e2e")));
    QVERIFY(xwindows::pressKey(QStringLiteral("Tab")));
    QVERIFY(xwindows::typeText(QStringLiteral("pw-e2e")));
    QVERIFY(xwindows::pressKey(QStringLiteral("Return")));

    const QString main = xwindows::waitFor(titles::kE2EMain, 60000);
    QVERIFY2(!main.isEmpty(), "no main window with the title from the login answer");
    QVERIFY(xwindows::waitGone(titles::kLogin));
    QTRY_VERIFY_WITH_TIMEOUT(portal.requestLog().join('\n').contains("/clilogin/index03.jsp"), 30000);
    const QString log = portal.requestLog().join('\n');
    const int exchange = log.indexOf("/clilogin/clilogin.jsp");
    QVERIFY2(exchange >= 0, qPrintable(log));
    QVERIFY(log.indexOf("e2e", exchange) > exchange);
    for (const char *page : {"/clilogin/index01.jsp", "/clilogin/index02.jsp", "/clilogin/index03.jsp"})
        QVERIFY2(log.indexOf(page, exchange) > exchange, page);

    // The title bar's close button hides the window, the program goes on in the tray; the tray
    // icon brings it back.
    const QRect mainAt = xwindows::geometry(main);
    QVERIFY(xwindows::clickAt(mainAt.topLeft() + QPoint(885 + 11, 7 + 6)));
    QVERIFY2(xwindows::waitGone(titles::kE2EMain), "closing did not hide the main window");
    QCOMPARE(second->state(), QProcess::Running);
    const QRect iconAt = trayIcon();
    QVERIFY2(iconAt.isValid(), "no tray icon");
    QVERIFY(xwindows::clickAt(iconAt.center()));
    QVERIFY2(!xwindows::waitFor(titles::kE2EMain, 15000).isEmpty(),
             "the tray icon did not bring the window back");

    // "退出系统", the last entry of the tray menu, ends the program. The menu is a new window of it.
    const QStringList before = xwindows::visibleOf(QStringLiteral("clikw730"));
    QVERIFY(xwindows::clickAt(iconAt.center(), 3));
    QVERIFY2(!xwindows::waitForNewOf(QStringLiteral("clikw730"), before).isEmpty(), "no tray menu");
    QVERIFY(xwindows::pressKey(QStringLiteral("Up")));
    QVERIFY(xwindows::pressKey(QStringLiteral("Return")));
    QVERIFY2(second->waitForFinished(15000), "退出系统 did not end the program");
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
}

void InstalledJourneysTest::automaticLoginFromPreparedSettings()
{
    QVERIFY(m_installed);
    QTemporaryDir data;
    PortalProcess portal;
    QVERIFY2(portal.start({"--user", "e2e:pw-e2e:E2E行情终端"}), qPrintable(portal.errorString()));
    QVERIFY(writeSettings(settingsOf(data.path()), portal, true));

    QVERIFY(startClient(m_prefix.path(), data.path(), portal)->waitForStarted());
    QVERIFY2(!xwindows::waitFor(titles::kE2EMain, 60000).isEmpty(),
             "automatic login did not reach the main window");
    QTRY_VERIFY_WITH_TIMEOUT(portal.requestLog().join('\n').contains("/clilogin/index03.jsp"), 30000);
    const QString log = portal.requestLog().join('\n');
    QVERIFY(log.contains("/clilogin/clilogin.jsp"));
    QVERIFY(log.contains("/clilogin/index01.jsp") && log.contains("/clilogin/index02.jsp"));
}

void InstalledJourneysTest::secondStartShowsMessageAndEnds()
{
    QVERIFY(m_installed);
    QTemporaryDir data;
    PortalProcess portal;
    QVERIFY2(portal.start(), qPrintable(portal.errorString()));
    const auto [running, login] = startToLoginWindow(data.path(), portal);
    QVERIFY2(!login.isEmpty(), "no login window");

    QProcess *again = startClient(m_prefix.path(), data.path(), portal);
    QVERIFY(again->waitForStarted());
    const QString box = xwindows::waitFor(titles::kPrompt, 30000);
    QVERIFY2(!box.isEmpty(), "the second start shows no message");
    QVERIFY(xwindows::sendKey(box, QStringLiteral("Return")));
    QVERIFY(again->waitForFinished(15000));
    QCOMPARE(again->exitStatus(), QProcess::NormalExit);
    QCOMPARE(again->exitCode(), 0);
    QCOMPARE(xwindows::visible(titles::kLogin).size(), 1);
    QCOMPARE(running->state(), QProcess::Running);
}

void InstalledJourneysTest::faultyServiceShowsMessageAndLoginStaysUsable_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("garbage answer") << QStringLiteral("malformed");
    QTest::newRow("server error") << QStringLiteral("status:500");
    QTest::newRow("empty answer") << QStringLiteral("empty");
    QTest::newRow("connection reset") << QStringLiteral("reset");
    QTest::newRow("slow but in time") << QStringLiteral("delay:3000");
}

void InstalledJourneysTest::faultyServiceShowsMessageAndLoginStaysUsable()
{
    QFETCH(QString, fault);
    QVERIFY(m_installed);
    QTemporaryDir data;
    PortalProcess portal;
    QVERIFY2(portal.start({"--user", "e2e:pw-e2e:E2E行情终端", "--fault", "/clilogin/clilogin.jsp=" + fault}),
             qPrintable(portal.errorString()));
    QVERIFY(writeSettings(settingsOf(data.path()), portal, false));
    const auto [client, login] = startToLoginWindow(data.path(), portal);
    QVERIFY2(!login.isEmpty(), "no login window");
    QVERIFY(InstalledClient::loginWithEnter(login));

    if (fault.startsWith(QLatin1String("delay"))) {
        // Slow is not broken: the login goes through.
        QVERIFY2(!xwindows::waitFor(titles::kE2EMain, 60000).isEmpty(), "slow answer did not log in");
        return;
    }
    const QString box = xwindows::waitFor(titles::kLoginFailed, 45000);
    QVERIFY2(!box.isEmpty(), "no message about the failed login");
    QVERIFY(xwindows::visible(titles::kE2EMain).isEmpty());
    QVERIFY(xwindows::sendKey(box, QStringLiteral("Return")));
    QVERIFY(xwindows::waitGone(titles::kLoginFailed));
    QCOMPARE(client->state(), QProcess::Running);

    // The service recovers; the same window logs in.
    QVERIFY(portal.setFault(QStringLiteral("/clilogin/clilogin.jsp"), QString()));
    QVERIFY(!xwindows::visible(titles::kLogin).isEmpty());
    QVERIFY(InstalledClient::loginWithEnter(login));
    QVERIFY2(!xwindows::waitFor(titles::kE2EMain, 60000).isEmpty(), "no login after the service recovered");
}

QRect InstalledJourneysTest::trayIcon()
{
    // The client's icon-sized window, embedded in the panel's tray.
    for (const QRect &at : xwindows::everyWindowNamed(QStringLiteral("Sorvane金融终端"))) {
        if (at.width() > 1 && at.width() <= 48 && at.x() >= 0 && at.y() >= 0)
            return at;
    }
    return QRect();
}

void InstalledJourneysTest::serviceDownShowsMessageAndLoginStaysUsable()
{
    QVERIFY(m_installed);
    QTemporaryDir data;
    PortalProcess portal;
    QVERIFY2(portal.start({"--user", "e2e:pw-e2e:E2E行情终端"}), qPrintable(portal.errorString()));
    const QString port = QString::number(portal.port());
    QVERIFY(writeSettings(settingsOf(data.path()), portal, false));
    const auto [client, login] = startToLoginWindow(data.path(), portal);
    QVERIFY2(!login.isEmpty(), "no login window");

    // The service goes away: nothing listens on its port any more.
    QCOMPARE(portal.stop(), 0);
    QVERIFY(InstalledClient::loginWithEnter(login));
    const QString box = xwindows::waitFor(titles::kLoginFailed, 45000);
    QVERIFY2(!box.isEmpty(), "no message about the failed login");
    QVERIFY(xwindows::sendKey(box, QStringLiteral("Return")));
    QVERIFY(xwindows::waitGone(titles::kLoginFailed));
    QCOMPARE(client->state(), QProcess::Running);

    // Back on the same address, the same window logs in.
    PortalProcess again;
    QVERIFY2(again.start({"--port", port, "--user", "e2e:pw-e2e:E2E行情终端"}),
             qPrintable(again.errorString()));
    QVERIFY(!xwindows::visible(titles::kLogin).isEmpty());
    QVERIFY(InstalledClient::loginWithEnter(login));
    QVERIFY2(!xwindows::waitFor(titles::kE2EMain, 60000).isEmpty(), "no login after the service came back");
}

void InstalledJourneysTest::upgradeReplacesTheInstalledClient()
{
    // An install of its own: this journey replaces the installed client.
    QTemporaryDir prefix;
    QString log;
    QVERIFY2(InstalledClient::installInto(prefix.path(), &log), qPrintable(log));
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    const QString installed = bin + QStringLiteral("/clikw730");
    QTemporaryDir data;
    PortalProcess portal;
    QVERIFY2(portal.start({"--user", "e2e:pw-e2e:E2E行情终端", "--version", "3.0.06;3.0.01", "--download",
                           UpgraderTest::standInBinary(UpgraderTest::Build::New)}),
             qPrintable(portal.errorString()));
    QVERIFY(writeSettings(settingsOf(data.path()), portal, true));

    QProcess *client = startClient(prefix.path(), data.path(), portal);
    QVERIFY(client->waitForStarted());
    const QString question = xwindows::waitFor(titles::kUpgradeQuestion, 60000);
    QVERIFY2(!question.isEmpty(), "no upgrade question");
    QVERIFY(xwindows::sendKey(question, QStringLiteral("Return")));

    // The installed upgrader beside the client downloads, stops the client and replaces it.
    QVERIFY(!xwindows::waitFor(titles::kUpgrader, 15000).isEmpty());
    QVERIFY(client->waitForFinished(30000));
    const QString done = xwindows::waitFor(titles::kPrompt, 30000);
    QVERIFY2(!done.isEmpty(), "no success prompt");
    QCOMPARE(UpgraderTest::markerOf(installed), QStringLiteral("new"));
    QVERIFY(QFileInfo(installed).isExecutable());
    QVERIFY(QFileInfo(bin + QStringLiteral("/zunup")).isExecutable());
    QVERIFY(xwindows::sendKey(done, QStringLiteral("Return")));

    // The new client starts from the installed path.
    QVERIFY(UpgraderTest::waitForRuns(bin, 1, 15000));
    const QList<UpgraderTest::Run> runs = UpgraderTest::runsIn(bin);
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs.first().marker, QStringLiteral("new"));
    QVERIFY(xwindows::waitGone(titles::kUpgrader));
    UpgraderTest::killAll(bin);
    QVERIFY(portal.requestLog().join('\n').contains("/download/clikw730exe"));
}

UPGRADER_TEST_MAIN(InstalledJourneysTest, QCoreApplication)
#include "tst_installedjourneys.moc"
