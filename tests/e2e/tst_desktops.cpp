#include "InstalledClient.h"
#include "PortalProcess.h"
#include "TestFiles.h"
#include "WindowTitles.h"
#include "XWindows.h"

#include "PopupPlacement.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The built client on the desktop its harness brought up (SORVANE_DESKTOP): "notray" (X with a
// window manager and no tray), "sni" (a tray that is a StatusNotifierItem host) or "gnome"
// (GNOME's compositor with Xwayland, no tray). One journey each, checked from outside.
class DesktopsTest : public QObject
{
    Q_OBJECT

private slots:
    void journey();
    void cleanup();

private:
    void loginAndPlacePopups(const QString &login);
    void closeMinimisesAndTaskBarRestores(const QString &main);
    void trayOverDBus(const QString &main);

    QProcess m_client;
};

namespace {

QString desktop()
{
    return qEnvironmentVariable("SORVANE_DESKTOP");
}

// With SORVANE_SCREENSHOTS set to a folder, the journey leaves pictures of the windows there
// (the README's come from the GNOME journey).
void screenshot(const QString &id, const QString &name)
{
    const QString folder = qEnvironmentVariable("SORVANE_SCREENSHOTS");
    if (!folder.isEmpty())
        QProcess::execute(QStringLiteral("import"), {"-window", id, folder + '/' + name + ".png"});
}

QString describe(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// dbus-send on the session bus; its printed reply, empty on failure.
QString dbusSend(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("dbus-send"),
                  QStringList{QStringLiteral("--session"), QStringLiteral("--print-reply")} + arguments);
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString dbusProperty(const QString &service, const QString &path, const QString &interface,
                     const QString &name)
{
    return dbusSend({QStringLiteral("--dest=") + service, path,
                     QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                     QStringLiteral("string:") + interface, QStringLiteral("string:") + name});
}

} // namespace

void DesktopsTest::cleanup()
{
    if (m_client.state() != QProcess::NotRunning) {
        m_client.kill();
        m_client.waitForFinished();
    }
}

void DesktopsTest::journey()
{
    QVERIFY2(QStringList({"notray", "sni", "gnome"}).contains(desktop()), "run under a desktop harness");
    QTemporaryDir www;
    // The registration page opens a pop-up per rule.
    QVERIFY(InstalledClient::copyWebFiles(www.path(), {{"clilogin/reg.jsp", "desktop-test/opener.html"}}));
    PortalProcess portal;
    QVERIFY2(portal.start({"--www", www.path(), "--user", "e2e:pw-e2e:E2E行情终端"}),
             qPrintable(portal.errorString()));
    QTemporaryDir folder;
    QVERIFY(WriteLinkSettings(folder.filePath("mainkw.ini"), {{"webroot", portal.baseUrl()},
                                                              {"savepass", "1"},
                                                              {"aotologin", "0"},
                                                              {"userid", "e2e"},
                                                              {"userpass", "pw-e2e"},
                                                              {"userrole", ""}}));

    // The user's session chooses the platform: nothing is set for Qt here.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    m_client.setProcessEnvironment(environment);
    m_client.setWorkingDirectory(folder.path());
    m_client.setProcessChannelMode(QProcess::ForwardedChannels);
    m_client.start(QStringLiteral(SORVANE_CLIENT_BIN), {});
    QVERIFY(m_client.waitForStarted());
    // On the X server at all: under Wayland the client chose Xwayland.
    const QString login = xwindows::waitFor(titles::kLogin, 60000);
    QVERIFY2(!login.isEmpty(), "no login window on the X server");

    loginAndPlacePopups(login);
    if (QTest::currentTestFailed())
        return;
    const QString main = xwindows::waitFor(titles::kE2EMain, 60000);
    QVERIFY2(!main.isEmpty(), "no main window after the login");
    const QRect mainAt = xwindows::geometry(main);
    QVERIFY2(qAbs(mainAt.center().x() - 640) <= 2 && qAbs(mainAt.center().y() - 512) <= 2,
             qPrintable("main window not centred on the screen: " + describe(mainAt)));
    QVERIFY2(xwindows::hasTaskBarEntry(main), "the main window has no task-bar entry");
    QTRY_VERIFY_WITH_TIMEOUT(portal.requestLog().join('\n').contains("page=index02"), 30000);
    screenshot(main, QStringLiteral("main"));

    if (desktop() == QLatin1String("sni"))
        trayOverDBus(main);
    else
        closeMinimisesAndTaskBarRestores(main);
}

void DesktopsTest::loginAndPlacePopups(const QString &login)
{
    const QRect at = xwindows::geometry(login);
    const QRect work = xwindows::workArea();
    screenshot(login, QStringLiteral("login"));
    QVERIFY2(qAbs(at.center().x() - work.center().x()) <= 2 && qAbs(at.center().y() - work.center().y()) <= 2,
             qPrintable("login window not centred: " + describe(at) + " in " + describe(work)));
    QVERIFY(xwindows::hasTaskBarEntry(login));

    // "注册新用户" opens the framed pop-up, whose page opens one pop-up per placement rule.
    QVERIFY(xwindows::activate(login));
    QVERIFY(xwindows::clickAt(at.topLeft() + QPoint(460 + 67, 302 + 12)));
    const QString centre = xwindows::waitFor(QStringLiteral("^desk-centre$"), 30000);
    const QString corner = xwindows::waitFor(QStringLiteral("^desk-corner$"), 30000);
    const QString numeric = xwindows::waitFor(QStringLiteral("^desk-numeric$"), 30000);
    QVERIFY2(!centre.isEmpty() && !corner.isEmpty() && !numeric.isEmpty(), "the placed pop-ups did not open");

    const QRect root(0, 0, 1280, 1024);
    const ScreenLayout screens{{{root, work}}};
    const QRect expected[] = {
        QRect(CentredIn(root, QSize(200, 100)), QSize(200, 100)),
        QRect(BottomRightPosition(screens, QSize(300, 200)), QSize(300, 200)),
        QRect(100, 80, 420, 250),
    };
    const QString ids[] = {centre, corner, numeric};
    for (int i = 0; i < 3; ++i) {
        QTRY_COMPARE_WITH_TIMEOUT(xwindows::geometry(ids[i]), expected[i], 10000);
        QVERIFY2(!xwindows::hasTaskBarEntry(ids[i]),
                 qPrintable(xwindows::property(ids[i], "_NET_WM_WINDOW_TYPE") +
                            xwindows::property(ids[i], "_NET_WM_STATE")));
    }

    // The remembered credentials are filled in: Enter logs in, once the opener has closed itself
    // and the login window has the keyboard again.
    QVERIFY(xwindows::waitGone(QStringLiteral("^desk-opener$")));
    QVERIFY(InstalledClient::loginWithEnter(login));
}

void DesktopsTest::closeMinimisesAndTaskBarRestores(const QString &main)
{
    const QRect at = xwindows::geometry(main);
    // The title bar's close button: with no tray, the window goes to the task bar.
    QVERIFY(xwindows::activate(main));
    QVERIFY(xwindows::clickAt(at.topLeft() + QPoint(885 + 11, 7 + 6)));
    QTRY_VERIFY2_WITH_TIMEOUT(xwindows::isIconic(main), "closing did not minimise the main window", 15000);
    QCOMPARE(m_client.state(), QProcess::Running);

    // A task bar activates the window, as xdotool does here.
    QVERIFY2(xwindows::activate(main), "the task bar could not bring the window back");
    QTRY_VERIFY_WITH_TIMEOUT(!xwindows::isIconic(main), 10000);
    QVERIFY(!xwindows::waitFor(titles::kE2EMain, 10000).isEmpty());

    // The window's own close request, as the task bar's close entry sends it, ends the client.
    QVERIFY(xwindows::requestClose(main));
    QVERIFY2(m_client.waitForFinished(30000), "the close request did not end the client");
    QCOMPARE(m_client.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_client.exitCode(), 0);
}

void DesktopsTest::trayOverDBus(const QString &main)
{
    // The item as the host sees it: "service/path", registered with the watcher.
    const QString items = dbusProperty(
        QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("RegisteredStatusNotifierItems"));
    const auto item = QRegularExpression(QStringLiteral("string \"([^\"/]+)(/[^\"]*)\"")).match(items);
    QVERIFY2(item.hasMatch(), qPrintable("no tray item registered: " + items));
    const QString service = item.captured(1);
    const QString path = item.captured(2);
    const QString sni = QStringLiteral("org.kde.StatusNotifierItem");
    QVERIFY(dbusProperty(service, path, sni, QStringLiteral("ToolTip"))
                .contains(QStringLiteral("Sorvane金融终端")));

    // With a tray, close hides the window to it; Activate (a click on the item) brings it back.
    const QRect at = xwindows::geometry(main);
    QVERIFY(xwindows::activate(main));
    QVERIFY(xwindows::clickAt(at.topLeft() + QPoint(885 + 11, 7 + 6)));
    QVERIFY2(xwindows::waitGone(titles::kE2EMain), "closing did not hide the main window");
    QVERIFY(!xwindows::isIconic(main));
    QVERIFY(!dbusSend({QStringLiteral("--dest=") + service, path, sni + QStringLiteral(".Activate"),
                       QStringLiteral("int32:0"), QStringLiteral("int32:0")})
                 .isNull());
    QVERIFY2(!xwindows::waitFor(titles::kE2EMain, 15000).isEmpty(), "Activate did not bring the window back");

    // The exported menu: 打开系统, a separator, 退出系统; choosing 退出系统 ends the client.
    const auto menuPath = QRegularExpression(QStringLiteral("object path \"([^\"]+)\""))
                              .match(dbusProperty(service, path, sni, QStringLiteral("Menu")));
    QVERIFY(menuPath.hasMatch());
    const QString layout =
        dbusSend({QStringLiteral("--dest=") + service, menuPath.captured(1),
                  QStringLiteral("com.canonical.dbusmenu.GetLayout"), QStringLiteral("int32:0"),
                  QStringLiteral("int32:-1"), QStringLiteral("array:string:")});
    const int open = layout.indexOf(QStringLiteral("\"打开系统\""));
    const int quit = layout.indexOf(QStringLiteral("\"退出系统\""));
    QVERIFY2(open > 0 && quit > open, qPrintable(layout));
    // The entry's id is the last one opened before its label.
    const QRegularExpression entry(QStringLiteral("struct \\{\\s*int32 (\\d+)"));
    QString quitId;
    for (auto it = entry.globalMatch(layout.left(quit)); it.hasNext();)
        quitId = it.next().captured(1);
    QVERIFY(!quitId.isEmpty());
    dbusSend({QStringLiteral("--dest=") + service, menuPath.captured(1),
              QStringLiteral("com.canonical.dbusmenu.Event"), QStringLiteral("int32:") + quitId,
              QStringLiteral("string:clicked"), QStringLiteral("variant:int32:0"),
              QStringLiteral("uint32:0")});
    QVERIFY2(m_client.waitForFinished(15000), "退出系统 did not end the client");
    QCOMPARE(m_client.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_client.exitCode(), 0);
}

QTEST_GUILESS_MAIN(DesktopsTest)
#include "tst_desktops.moc"
