// The body area's commands in the real main window, against the portal's own pages.
#include "AppWindows.h"
#include "BrowserWait.h"
#include "ClientSession.h"
#include "CppWebBrowser.h"
#include "EngineTestMain.h"
#include "PageDriver.h"
#include "SettingsFile.h"
#include "buildconfig.h"
#include "client/mainwindow/Dismess.h"
#include "client/mainwindow/Disvideo.h"
#include "client/mainwindow/Main.h"
#include "client/mainwindow/PageControlEx.h"

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Where the stand-in for the system's browser writes the addresses it is asked to open.
QString g_openedLog;

QStringList OpenedAddresses()
{
    return OpenedAddressesIn(g_openedLog);
}

template <typename Form> QList<Form *> WindowsOf()
{
    QList<Form *> found;
    for (QWidget *window : AppWindows()) {
        if (auto *form = qobject_cast<Form *>(window))
            found << form;
    }
    return found;
}

} // namespace

class BodyCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void newTabs();
    void tabsOfTheTabbedWindow();
    void videoTwice();
    void backAndNext();
    void withoutTokenNavigates();
    void refresh();
    void webHome_data();
    void webHome();
    void skin_data();
    void skin();

private:
    // The body is still on its start page and no command reached the portal.
    void bodyStayed();
    QList<TCppWebBrowser *> areas() const { return {frmMain->cppHead, frmMain->cppBody, frmMain->cppEnd}; }

    std::unique_ptr<ClientSession> m_client;
};

// One login for the class: every case starts from the main window on its start pages, with the
// settings file as the login left it.
void BodyCommandsTest::initTestCase()
{
    m_client = std::make_unique<ClientSession>();
    QVERIFY2(m_client->start(), qPrintable(m_client->error()));
}

void BodyCommandsTest::init()
{
    QVERIFY(m_client);
    QVERIFY(m_client->portal().setFault(QStringLiteral("/kw730/news.jsp"), QString()));
    QVERIFY2(m_client->reset(), qPrintable(m_client->error()));
    QFile::remove(g_openedLog);
}

void BodyCommandsTest::cleanupTestCase()
{
    m_client.reset();
}

void BodyCommandsTest::bodyStayed()
{
    QVERIFY(frmMain->cppBody->LocationURL().endsWith(QLatin1String("/clilogin/index02.jsp")));
    QCOMPARE(m_client->requestsOf(QStringLiteral("/kw730/cmd.jsp")), 0);
    QVERIFY(m_client->boxes().isEmpty());
}

void BodyCommandsTest::newTabs()
{
    QVERIFY(frmDisMess && !frmDisMess->isVisible());
    // The windows made at start-up cost no page until they are used.
    QVERIFY(!frmDisMess->cppParant()->hasPage());
    QVERIFY(frmDisVideo && !frmDisVideo->cppVideo()->hasPage());
    // The page is slow, so the tab is seen before its page's title arrives.
    QVERIFY(m_client->portal().setFault(QStringLiteral("/kw730/news.jsp"), QStringLiteral("delay:1500")));
    const LoadEnds ends(areas());
    ClickById(frmMain->cppBody, QStringLiteral("news-1"));
    QTRY_VERIFY(frmDisMess->isVisible());
    TPageControlEx *tabs = frmDisMess->pageControl();
    QCOMPARE(tabs->count(), 1);
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Telvar投资"));
    QTRY_VERIFY_WITH_TIMEOUT(tabs->tabText(0) == QStringLiteral("资讯正文"), 10000);
    QVERIFY(
        frmDisMess->tabBrowser(0)->LocationURL().endsWith(QLatin1String("/kw730/news.jsp?id=1&tarwin=1")));

    // The existing window takes the next one, as its active tab.
    ClickById(frmMain->cppBody, QStringLiteral("news-2"));
    QTRY_COMPARE(tabs->count(), 2);
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(tabs->tabText(1), QStringLiteral("Telvar投资"));
    QCOMPARE(WindowsOf<TfrmDisMess>().size(), 1);
    QVERIFY(!frmDisMess->cppParant()->hasPage());
    // Both commands were refused as navigations of the body.
    QVERIFY(ends.wait(frmMain->cppBody, 2));
    bodyStayed();
}

void BodyCommandsTest::tabsOfTheTabbedWindow()
{
    TPageControlEx *tabs = frmDisMess->pageControl();
    for (const char *link : {"news-1", "news-2", "news-3", "quote-1"}) {
        const int before = tabs->count();
        ClickById(frmMain->cppBody, QString::fromLatin1(link));
        QTRY_COMPARE(tabs->count(), before + 1);
    }
    QCOMPARE(tabs->currentIndex(), 3);
    for (int i = 0; i < 4; ++i)
        QVERIFY(WaitWhileBusy(frmDisMess->tabBrowser(i)));

    // A page in a tab that opens a window gets a new active tab with that page.
    ScriptResult(frmDisMess->tabBrowser(3), QStringLiteral("window.open('/kw730/notice.jsp?from=tab')"));
    QTRY_COMPARE(tabs->count(), 5);
    QCOMPARE(tabs->currentIndex(), 4);
    QTRY_VERIFY(
        frmDisMess->tabBrowser(4)->LocationURL().endsWith(QLatin1String("/kw730/notice.jsp?from=tab")));
    QTRY_COMPARE(tabs->tabText(4), QStringLiteral("系统公告"));
    QVERIFY(frmDisMess->tabBrowser(3)->LocationURL().contains(QLatin1String("/kw730/quote.jsp")));
    frmDisMess->atDeleNowPage()->trigger();

    // Four tabs, the fourth active: "删除当前页面" leaves the third active.
    QCOMPARE(tabs->count(), 4);
    QCOMPARE(tabs->currentIndex(), 3);
    frmDisMess->atDeleNowPage()->trigger();
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->currentIndex(), 2);
    QVERIFY(frmDisMess->tabBrowser(2)->LocationURL().contains(QLatin1String("news.jsp?id=3")));

    // The last tab going hides the window; the next tab shows it again.
    while (tabs->count() > 1)
        frmDisMess->atDeleNowPage()->trigger();
    QVERIFY(frmDisMess->isVisible());
    frmDisMess->atDeleNowPage()->trigger();
    QVERIFY(!frmDisMess->isVisible());
    QCOMPARE(tabs->count(), 0);
    ClickById(frmMain->cppBody, QStringLiteral("news-3"));
    QTRY_VERIFY(frmDisMess->isVisible());
    QCOMPARE(tabs->count(), 1);
    QCOMPARE(WindowsOf<TfrmDisMess>().size(), 1);
}

void BodyCommandsTest::videoTwice()
{
    // Video windows closed earlier stay, hidden: count from what is there now.
    const int windows = int(WindowsOf<TfrmDisVideo>().size());
    const LoadEnds ends(areas());
    ClickById(frmMain->cppBody, QStringLiteral("video-1"));
    QTRY_COMPARE(WindowsOf<TfrmDisVideo>().size(), windows + 1);
    TfrmDisVideo *first = WindowsOf<TfrmDisVideo>().last();
    QTRY_VERIFY(first->isVisible());
    QTRY_VERIFY(first->cppVideo()->LocationURL().endsWith(QLatin1String("/kw730/video.jsp?ch=1&tarwin=2")));

    ClickById(frmMain->cppBody, QStringLiteral("video-2"));
    QTRY_COMPARE(WindowsOf<TfrmDisVideo>().size(), windows + 2);
    TfrmDisVideo *second = WindowsOf<TfrmDisVideo>().last();
    QTRY_VERIFY(second->cppVideo()->LocationURL().endsWith(QLatin1String("/kw730/video.jsp?ch=2&tarwin=2")));
    QVERIFY(WaitWhileBusy(second->cppVideo()));
    QList<TfrmDisVideo *> visible;
    for (TfrmDisVideo *video : WindowsOf<TfrmDisVideo>()) {
        if (video->isVisible())
            visible << video;
    }
    QCOMPARE(visible, QList<TfrmDisVideo *>{second});
    QCOMPARE(ScriptResult(second->cppVideo(),
                          QStringLiteral("document.getElementById('video-channel').textContent"))
                 .toString(),
             QStringLiteral("2"));
    // The first one is hidden and its page stopped: its sound does not go on behind the new one.
    QVERIFY(!first->cppVideo()->hasPage());
    QVERIFY(ends.wait(frmMain->cppBody, 2));
    bodyStayed();
}

void BodyCommandsTest::backAndNext()
{
    // Left by a script from a timer, without a gesture: the engine's own back would skip index02.
    ScriptResult(frmMain->cppBody, QStringLiteral("setTimeout(function () { location.href = "
                                                  "'/kw730/news.jsp?id=2'; }, 0)"));
    QTRY_VERIFY(frmMain->cppBody->LocationURL().endsWith(QLatin1String("/kw730/news.jsp?id=2")));
    QVERIFY(WaitWhileBusy(frmMain->cppBody));
    ScriptResult(frmMain->cppBody, QStringLiteral("location.href = '/kw730/cmd.jsp?action=back'"));
    QTRY_VERIFY(frmMain->cppBody->LocationURL().endsWith(QLatin1String("/clilogin/index02.jsp")));
    QVERIFY(WaitWhileBusy(frmMain->cppBody));
    ScriptResult(frmMain->cppBody, QStringLiteral("location.href = '/kw730/cmd.jsp?action=next'"));
    QTRY_VERIFY(frmMain->cppBody->LocationURL().endsWith(QLatin1String("/kw730/news.jsp?id=2")));
    QVERIFY(Idle(areas()));
    QCOMPARE(m_client->requestsOf(QStringLiteral("/kw730/cmd.jsp")), 0);
}

void BodyCommandsTest::withoutTokenNavigates()
{
    // No "kw730" in the address: the body loads it like any page.
    ClickById(frmMain->cppBody, QStringLiteral("body-back-foreign"));
    QTRY_VERIFY(frmMain->cppBody->LocationURL().endsWith(QLatin1String("/cmd.jsp?action=back")));
    QVERIFY(WaitForBodyText(frmMain->cppBody, QStringLiteral("COMMAND-NOT-INTERCEPTED")));
}

void BodyCommandsTest::refresh()
{
    const int loads = m_client->requestsOf(QStringLiteral("/clilogin/index02.jsp"));
    const LoadEnds ends(areas());
    ClickById(frmMain->cppBody, QStringLiteral("refresh-script"));
    QTRY_COMPARE(m_client->requestsOf(QStringLiteral("/clilogin/index02.jsp")), loads + 1);
    // The reload has been asked for; its end leaves the body idle (the refused command may end
    // inside it).
    QVERIFY(ends.wait(frmMain->cppBody));
    bodyStayed();
}

void BodyCommandsTest::webHome_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("opened"); // ROOT: the portal; empty: nothing may open
    QTest::newRow("no linkinfo: the portal's home")
        << "document.getElementById('body-webhome').click()" << QStringLiteral(SORVANE_PORTAL_HOME);
    QTest::newRow("linkinfo") << "document.getElementById('body-webhome-link').click()"
                              << "ROOT/index.html";
    QTest::newRow("only web addresses are opened")
        << "location.href = '/kw730/cmd.jsp?action=webhome&linkinfo=file:///etc/passwd'"
        << "";
}

void BodyCommandsTest::webHome()
{
    QFETCH(QString, script);
    QFETCH(QString, opened);
    opened.replace(QLatin1String("ROOT"), m_client->portal().baseUrl());
    const LoadEnds ends(areas());
    ScriptResult(frmMain->cppBody, script);
    QVERIFY(ends.wait(frmMain->cppBody));
    if (opened.isEmpty()) {
        // A web address asked for afterwards is opened after whatever the refused one started.
        const QString after = m_client->portal().baseUrl() + QStringLiteral("/index.html?after");
        ScriptResult(
            frmMain->cppBody,
            QStringLiteral("location.href = '/kw730/cmd.jsp?action=webhome&linkinfo=%1'").arg(after));
        QVERIFY(ends.wait(frmMain->cppBody, 2));
        QTRY_COMPARE(OpenedAddresses(), QStringList{after});
    } else {
        QTRY_COMPARE(OpenedAddresses(), QStringList{opened});
    }
    bodyStayed();
}

void BodyCommandsTest::skin_data()
{
    QTest::addColumn<bool>("withSettingsFile");
    QTest::newRow("settings file") << true;
    QTest::newRow("no settings file: nothing written, still refreshed") << false;
}

void BodyCommandsTest::skin()
{
    QFETCH(bool, withSettingsFile);
    if (!withSettingsFile)
        QVERIFY(QFile::remove(m_client->settingsPath()));
    const QStringList pages{QStringLiteral("/clilogin/index01.jsp"), QStringLiteral("/clilogin/index02.jsp"),
                            QStringLiteral("/clilogin/index03.jsp")};
    QList<int> loads;
    for (const QString &page : pages)
        loads << m_client->requestsOf(page);

    ClickById(frmMain->cppBody, QStringLiteral("body-skin-blue"));
    QTRY_COMPARE(m_client->requestsOf(QStringLiteral("/kw730/skin.jsp")), 1);
    const QString query = m_client->queriesOf(QStringLiteral("/kw730/skin.jsp")).constFirst();
    QVERIFY2(QRegularExpression(
                 QStringLiteral("^action=skin&skin=blue&rangdt=\\d+\\d\\d(:|%3A)\\d\\d(:|%3A)\\d\\d$"))
                 .match(query)
                 .hasMatch(),
             qPrintable(query));
    // The three areas are reloaded completely.
    for (int i = 0; i < pages.size(); ++i)
        QTRY_COMPARE(m_client->requestsOf(pages[i]), loads[i] + 1);
    // The file is written before the areas are reloaded.
    QVERIFY(Idle(areas()));
    if (withSettingsFile)
        QCOMPARE(ReadSetting(QStringLiteral("exepara"), QStringLiteral("skin"), QString()),
                 QStringLiteral("blue"));
    else
        QVERIFY(!QFile::exists(m_client->settingsPath()));
    bodyStayed();
}

int main(int argc, char **argv)
{
    QTemporaryDir tools;
    g_openedLog = InstallBrowserStandIn(tools);
    if (g_openedLog.isEmpty())
        return 1;
    return RunEngineTest<BodyCommandsTest>(argc, argv);
}

#include "tst_bodycommands.moc"
