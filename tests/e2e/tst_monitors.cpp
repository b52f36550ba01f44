#include "InstalledClient.h"
#include "PortalProcess.h"
#include "TestFiles.h"
#include "WindowTitles.h"
#include "XWindows.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The built client on two monitors with the primary on the right (tests/harness/with-xorg-monitors.sh:
// L 1280x1024 at 0,0, R 1920x1200 at 1280,0, R primary). Every window the client places, and every
// pop-up a page places, must stand on the primary where the rules put it, also when the primary
// runs at scale factor 2 beside a secondary at 1. Checked from the X server, in its own pixels.
class MonitorsTest : public QObject
{
    Q_OBJECT

private slots:
    void journey_data();
    void journey();
    void cleanup();

private:
    QProcess m_client;
};

namespace {

// The primary monitor as the harness sets it up, in the X server's pixels.
const QRect kPrimary(1280, 0, 1920, 1200);

QString describe(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Within `slack` pixels (logical pixels round to whole device pixels; frames add their border).
bool near(const QPoint &seen, const QPoint &wanted, int slack)
{
    return qAbs(seen.x() - wanted.x()) <= slack && qAbs(seen.y() - wanted.y()) <= slack;
}

// The top-left that centres `size` in `area`, kept inside it as the client does.
QPoint centred(const QRect &area, const QSize &size)
{
    return area.topLeft() +
           QPoint(qMax((area.width() - size.width()) / 2, 0), qMax((area.height() - size.height()) / 2, 0));
}

} // namespace

void MonitorsTest::cleanup()
{
    if (m_client.state() != QProcess::NotRunning) {
        m_client.kill();
        m_client.waitForFinished();
    }
}

void MonitorsTest::journey_data()
{
    QTest::addColumn<int>("scale");
    QTest::newRow("primary at scale 1") << 1;
    QTest::newRow("primary at scale 2") << 2;
}

void MonitorsTest::journey()
{
    QFETCH(int, scale);
    QVERIFY2(qEnvironmentVariable("SORVANE_MONITORS") == QLatin1String("primary-right"),
             "run under tests/harness/with-xorg-monitors.sh");
    QTemporaryDir www;
    QVERIFY(InstalledClient::copyWebFiles(www.path(), {{"clilogin/reg.jsp", "desktop-test/monitors.html"},
                                                       {"clilogin/index01.jsp", "desktop-test/head.html"},
                                                       {"clilogin/index02.jsp", "desktop-test/body.html"}}));
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

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("QT_SCALE_FACTOR"));
    // By the monitors' names: only the primary is scaled.
    environment.insert(QStringLiteral("QT_SCREEN_SCALE_FACTORS"), QStringLiteral("R=%1;L=1").arg(scale));
    m_client.setProcessEnvironment(environment);
    m_client.setWorkingDirectory(folder.path());
    m_client.setProcessChannelMode(QProcess::ForwardedChannels);
    m_client.start(QStringLiteral(SORVANE_CLIENT_BIN), {});
    QVERIFY(m_client.waitForStarted());

    const QRect work = xwindows::workArea() & kPrimary;
    const QString login = xwindows::waitFor(titles::kLogin, 60000);
    QVERIFY2(!login.isEmpty(), "no login window");
    const QRect loginAt = xwindows::geometry(login);
    QVERIFY2(near(loginAt.topLeft(), centred(work, loginAt.size()), scale),
             qPrintable("login window not centred on the primary: " + describe(loginAt)));

    // "注册新用户" opens the framed pop-up, whose page opens one pop-up per placement rule.
    QVERIFY(xwindows::activate(login));
    QVERIFY(xwindows::clickAt(loginAt.topLeft() + QPoint(460 + 67, 302 + 12) * scale));
    const int s = scale;
    const int panelWidth = kPrimary.width() - work.width();
    const int panelHeight = kPrimary.height() - work.height();
    const auto corner = [&](const QSize &size) {
        return kPrimary.topLeft() + QPoint(qMax(kPrimary.width() - size.width() - panelWidth, 0),
                                           qMax(kPrimary.height() - size.height() - panelHeight, 0));
    };
    struct Placed
    {
        const char *title;
        QSize size; // the page's own pixels
        QPoint at;  // where the top-left belongs, in the server's pixels
    };
    const Placed placed[] = {
        {"^desk-centre$", {200, 100}, centred(kPrimary, QSize(200, 100) * s)},
        {"^desk-corner$", {300, 200}, corner(QSize(300, 200) * s)},
        {"^desk-youxia$", {240, 160}, corner(QSize(240, 160) * s)},
        {"^desk-numeric$", {420, 250}, kPrimary.topLeft() + QPoint(100, 120) * s},
        // Only the top given: a new window keeps its design size, centred across the primary.
        {"^desk-toponly$", {551, 413}, QPoint(centred(kPrimary, QSize(551, 413) * s).x(), 140 * s)},
    };
    for (const Placed &one : placed) {
        const QString id = xwindows::waitFor(QString::fromLatin1(one.title), 30000);
        QVERIFY2(!id.isEmpty(), one.title);
        QTRY_COMPARE_WITH_TIMEOUT(xwindows::geometry(id).size(), one.size * s, 10000);
        const QRect at = xwindows::geometry(id);
        QVERIFY2(near(at.topLeft(), one.at, s),
                 qPrintable(QString::fromLatin1(one.title) + " at " + describe(at) + ", wanted at " +
                            QString::number(one.at.x()) + "," + QString::number(one.at.y())));
    }

    // The remembered credentials log in; the main window, the head's link pop-up and the body's tab
    // and video window come up.
    QVERIFY(xwindows::waitGone(QStringLiteral("^desk-opener$")));
    QVERIFY(InstalledClient::loginWithEnter(login));
    const QString main = xwindows::waitFor(titles::kE2EMain, 60000);
    QVERIFY2(!main.isEmpty(), "no main window after the login");
    const QRect mainAt = xwindows::geometry(main);
    QVERIFY2(near(mainAt.topLeft(), centred(kPrimary, mainAt.size()), s),
             qPrintable("main window not centred on the primary: " + describe(mainAt)));

    const QString link = xwindows::waitFor(QStringLiteral("^弹出窗口$"), 30000);
    QVERIFY2(!link.isEmpty(), "no link pop-up");
    QTRY_COMPARE_WITH_TIMEOUT(xwindows::geometry(link).size(), QSize(400, 300) * s, 10000);
    QVERIFY2(near(xwindows::geometry(link).topLeft(), centred(kPrimary, QSize(400, 300) * s), s),
             qPrintable("link pop-up at " + describe(xwindows::geometry(link))));

    // Framed windows: the window manager's border stands around the client area.
    const int frame = 40;
    const QString tabs = xwindows::waitFor(QStringLiteral("^Sorvane金融终端$"), 30000);
    QVERIFY2(!tabs.isEmpty(), "no tabbed page window");
    const QRect tabsAt = xwindows::geometry(tabs);
    QVERIFY2(near(tabsAt.topLeft(), centred(kPrimary, tabsAt.size()), frame),
             qPrintable("tabbed window not centred on the primary: " + describe(tabsAt)));

    const QString video = xwindows::waitFor(QStringLiteral("^显示视频$"), 30000);
    QVERIFY2(!video.isEmpty(), "no video window");
    // 10 pixels from the primary's right edge and 40 from its bottom, frame included.
    const QPoint videoCorner = kPrimary.bottomRight() + QPoint(1, 1) - QPoint(10, 40) * s;
    QTRY_VERIFY2_WITH_TIMEOUT(
        near(xwindows::geometry(video).bottomRight() + QPoint(1, 1), videoCorner, frame),
        qPrintable("video window at " + describe(xwindows::geometry(video))), 10000);
    QVERIFY(kPrimary.contains(xwindows::geometry(video)));
}

QTEST_GUILESS_MAIN(MonitorsTest)
#include "tst_monitors.moc"
