#include "BrowserWait.h"
#include "CppWebBrowser.h"
#include "EngineTestMain.h"
#include "PageDriver.h"
#include "PortalProcess.h"
#include "Unit_func.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include <csignal>

// The browser layer against real pages served by the portal.
class BrowserTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void navigateWaitAndRead();
    void cancelledNavigationKeepsThePage();
    void cancelledNavigateEndsBusy();
    void commandUrlTextArrivesAsWritten_data();
    void commandUrlTextArrivesAsWritten();
    void newWindowLoadsIntoGivenBrowser();
    void titleAndProgressEvents();
    void browsersShareCookies();
    void scriptGeometryIsReported();
    void hostLookMakesTextUnselectable();
    void hiddenBrowserStaysWithoutPage();
    void crashedRendererReloadsOnce();
    void unreachableAddressIsTriedAgain();
    void engineSpeaksChinese();

private:
    QString url(const QString &path) const { return m_portal->baseUrl() + path; }

    std::unique_ptr<PortalProcess> m_portal;
    std::unique_ptr<TCppWebBrowser> m_browser;
};

void BrowserTest::initTestCase()
{
    m_portal = std::make_unique<PortalProcess>();
    QVERIFY2(m_portal->start(), qPrintable(m_portal->errorString()));
}

void BrowserTest::init()
{
    m_browser = std::make_unique<TCppWebBrowser>();
}

void BrowserTest::cleanup()
{
    m_browser.reset();
}

void BrowserTest::navigateWaitAndRead()
{
    QVERIFY(!m_browser->Busy());
    m_browser->Navigate(url("/test/page.html"));
    QVERIFY(m_browser->Busy());
    QVERIFY(WaitWhileBusy(m_browser.get()));
    QCOMPARE(m_browser->LocationURL(), url("/test/page.html"));
    const QString body = m_browser->BodyText();
    QVERIFY2(body.contains("Hello body") && body.contains(QStringLiteral("第二行")), qPrintable(body));
}

void BrowserTest::cancelledNavigationKeepsThePage()
{
    QStringList seen;
    connect(m_browser.get(), &TCppWebBrowser::OnBeforeNavigate2, this,
            [&](const QString &target, bool &cancel) {
                seen << target;
                cancel = target.contains("action=close");
            });
    QSignalSpy completed(m_browser.get(), &TCppWebBrowser::OnDocumentComplete);
    m_browser->Navigate(url("/test/page.html"));
    QVERIFY(WaitWhileBusy(m_browser.get()));
    QTRY_COMPARE(completed.count(), 1);

    QSignalSpy ended(m_browser.get(), &TCppWebBrowser::OnDownloadComplete);
    m_browser->runScript(QStringLiteral("location.href = '/test/target.html?action=close'"));
    QTRY_VERIFY(seen.size() == 2);
    // The refused navigation ends as a failed load of its own.
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(m_browser->LocationURL(), url("/test/page.html"));
    QVERIFY(m_browser->BodyText().contains("Hello body"));
    QVERIFY(!m_browser->Busy());
    QCOMPARE(completed.count(), 1); // the refused navigation is no document

    // An ordinary navigation still goes ahead.
    m_browser->runScript(QStringLiteral("location.href = '/test/target.html'"));
    QTRY_COMPARE(m_browser->LocationURL(), url("/test/target.html"));
}

void BrowserTest::cancelledNavigateEndsBusy()
{
    connect(m_browser.get(), &TCppWebBrowser::OnBeforeNavigate2, this,
            [](const QString &, bool &cancel) { cancel = true; });
    m_browser->Navigate(url("/test/page.html"));
    QVERIFY(m_browser->Busy());
    QVERIFY(WaitUntil([&] { return !m_browser->Busy(); }, 10000));
}

void BrowserTest::commandUrlTextArrivesAsWritten_data()
{
    QTest::addColumn<QString>("query");
    QTest::newRow("four-digit escapes") << "&cpp_alert=%u4F60%u597D";
    QTest::newRow("encoded plus") << "&cpp_url=a%2Bb";
    QTest::newRow("plus") << "&cpp_url=a+b";
    QTest::newRow("encoded address") << "&cpp_url=http%3A%2F%2F127.0.0.1%2Fp%3Fa%3D1%26b%3D2";
    QTest::newRow("Chinese") << QStringLiteral("&cpp_alert=你好");
    QTest::newRow("percent sign") << "&cpp_alert=100%";
    // One "%" that starts no escape must not change how the real escapes beside it arrive.
    QTest::newRow("four-digit escapes and an address")
        << "&cpp_alert=%u4F60%u597D&cpp_url=http%3A%2F%2F127.0.0.1%2Fp%3Fa%3D1";
    QTest::newRow("percent sign and an escaped percent") << "&cpp_alert=100%&cpp_url=a%25b%2Bc";
    QTest::newRow("percent sign and Chinese") << QStringLiteral("&cpp_alert=100%&cpp_url=你好");
}

void BrowserTest::commandUrlTextArrivesAsWritten()
{
    QFETCH(QString, query);
    QString arrived;
    connect(m_browser.get(), &TCppWebBrowser::OnBeforeNavigate2, this,
            [&](const QString &target, bool &cancel) {
                arrived = target;
                cancel = target.contains("cpp_");
            });
    m_browser->Navigate(url("/test/page.html"));
    QVERIFY(WaitWhileBusy(m_browser.get()));
    const QString target = "/test/target.html?x=1" + query;
    m_browser->runScript(QStringLiteral("location.href = %1").arg(QStringLiteral("'") + target + "'"));
    QTRY_VERIFY(arrived.contains("cpp_"));
    QCOMPARE(arrived, url(target));
}

void BrowserTest::newWindowLoadsIntoGivenBrowser()
{
    TCppWebBrowser receiver;
    connect(m_browser.get(), &TCppWebBrowser::OnNewWindow2, this,
            [&](TCppWebBrowser *&target, bool &) { target = &receiver; });
    m_browser->Navigate(url("/test/page.html"));
    QVERIFY(WaitWhileBusy(m_browser.get()));
    m_browser->runScript(QStringLiteral("window.open('/test/target.html')"));
    QTRY_COMPARE_WITH_TIMEOUT(receiver.LocationURL(), url("/test/target.html"), 10000);
    QVERIFY(WaitWhileBusy(&receiver));
    QTRY_VERIFY(receiver.BodyText().contains("Target page"));
    QCOMPARE(m_browser->LocationURL(), url("/test/page.html"));
}

void BrowserTest::titleAndProgressEvents()
{
    QSignalSpy titles(m_browser.get(), &TCppWebBrowser::OnTitleChange);
    QSignalSpy progress(m_browser.get(), &TCppWebBrowser::OnProgressChange);
    QSignalSpy downloads(m_browser.get(), &TCppWebBrowser::OnDownloadComplete);
    m_browser->Navigate(url("/test/page.html"));
    QVERIFY(WaitWhileBusy(m_browser.get()));
    QTRY_VERIFY(!titles.isEmpty() && titles.last().at(0).toString() == QStringLiteral("测试页面"));
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.last().at(0).toInt(), 100);
    QCOMPARE(progress.last().at(1).toInt(), 100);
    QCOMPARE(downloads.count(), 1);
    QCOMPARE(m_browser->LocationName(), QStringLiteral("测试页面"));

    // A page without a title is titled with its whole address, as an address.
    titles.clear();
    m_browser->Navigate(url("/test/untitled.html?kw730&a=1"));
    QVERIFY(WaitWhileBusy(m_browser.get()));
    QTRY_VERIFY(!titles.isEmpty() && titles.last().at(0).toString() == url("/test/untitled.html?kw730&a=1"));
    QCOMPARE(CaptionForTitle(m_browser->LocationName()), QStringLiteral("Telvar金融终端......"));
}

void BrowserTest::browsersShareCookies()
{
    TCppWebBrowser other;
    other.Navigate(url("/clilogin/index02.jsp"));
    QVERIFY(WaitWhileBusy(&other));
    QVERIFY(other.BodyText().contains("NOT-LOGGED-IN"));

    m_browser->Navigate(
        url("/clilogin/clilogin.jsp?mac=00000000&ver=3.0.05&userid=demo&userpass=demo123&userrole=000"));
    QVERIFY(WaitWhileBusy(m_browser.get()));
    QVERIFY(m_browser->BodyText().contains("loginok"));

    other.Navigate(url("/clilogin/index02.jsp"));
    QVERIFY(WaitWhileBusy(&other));
    const QString body = other.BodyText();
    QVERIFY2(!body.contains("NOT-LOGGED-IN") && !body.isEmpty(), qPrintable(body));

    // Leave no session behind for the next case.
    m_browser->Navigate(url("/clilogin/deletecook.jsp"));
    QVERIFY(WaitWhileBusy(m_browser.get()));
}

void BrowserTest::scriptGeometryIsReported()
{
    QSignalSpy left(m_browser.get(), &TCppWebBrowser::OnWindowSetLeft);
    QSignalSpy top(m_browser.get(), &TCppWebBrowser::OnWindowSetTop);
    QSignalSpy width(m_browser.get(), &TCppWebBrowser::OnWindowSetWidth);
    QSignalSpy height(m_browser.get(), &TCppWebBrowser::OnWindowSetHeight);
    m_browser->Navigate(url("/test/page.html"));
    QVERIFY(WaitWhileBusy(m_browser.get()));
    m_browser->runScript(QStringLiteral("window.moveTo(100, 50); window.resizeTo(320, 240);"));
    QTRY_COMPARE(height.count(), 1);
    QCOMPARE(left.first().at(0).toInt(), 100);
    QCOMPARE(top.first().at(0).toInt(), 50);
    QCOMPARE(width.first().at(0).toInt(), 320);
    QCOMPARE(height.first().at(0).toInt(), 240);
    // A page cannot fake a report with an ordinary log line; the real one after it arrives alone.
    m_browser->runScript(QStringLiteral("console.debug('left:5'); window.moveTo(7, 8);"));
    QTRY_COMPARE(top.count(), 2);
    QCOMPARE(left.count(), 2);
    QCOMPARE(left.last().at(0).toInt(), 7);
}

void BrowserTest::hostLookMakesTextUnselectable()
{
    m_browser->show();
    m_browser->applyHostLook();
    m_browser->Navigate(url("/test/page.html"));
    QVERIFY(WaitWhileBusy(m_browser.get()));
    QTRY_COMPARE(ScriptResult(m_browser.get(), "getComputedStyle(document.body).userSelect").toString(),
                 QStringLiteral("none"));
    QCOMPARE(ScriptResult(m_browser.get(), "getComputedStyle(document.documentElement).overflow").toString(),
             QStringLiteral("hidden"));
    QCOMPARE(m_browser->findChild<QWidget *>()->contextMenuPolicy(), Qt::NoContextMenu);
    // The look stays for later pages of the same browser.
    m_browser->Navigate(url("/test/target.html"));
    QVERIFY(WaitWhileBusy(m_browser.get()));
    QTRY_COMPARE(ScriptResult(m_browser.get(), "getComputedStyle(document.body).userSelect").toString(),
                 QStringLiteral("none"));
}

void BrowserTest::hiddenBrowserStaysWithoutPage()
{
    TCppWebBrowser hidden;
    hidden.setSilent(true);
    hidden.applyHostLook();
    QVERIFY(!hidden.hasPage());
    QCOMPARE(hidden.BodyText(), QString());
    hidden.Navigate(url("/test/page.html"));
    QVERIFY(hidden.hasPage());
    QVERIFY(WaitWhileBusy(&hidden));
    hidden.releasePage();
    QVERIFY(!hidden.hasPage());
}

void BrowserTest::crashedRendererReloadsOnce()
{
    m_browser->show();
    m_browser->Navigate(url("/test/page.html"));
    QVERIFY(WaitWhileBusy(m_browser.get()));
    const qint64 first = m_browser->rendererPid();
    QVERIFY(first > 0);
    QSignalSpy completed(m_browser.get(), &TCppWebBrowser::OnDocumentComplete);
    QCOMPARE(::kill(pid_t(first), SIGKILL), 0);
    QTRY_VERIFY_WITH_TIMEOUT(completed.count() >= 1, 15000);
    QTRY_VERIFY(m_browser->BodyText().contains("Hello body"));
    const qint64 second = m_browser->rendererPid();
    QVERIFY(second > 0 && second != first);

    // A second crash after a good load is answered again.
    QCOMPARE(::kill(pid_t(second), SIGKILL), 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_browser->rendererPid() != second && m_browser->rendererPid() > 0, 15000);
    QTRY_VERIFY(m_browser->BodyText().contains("Hello body"));
}

void BrowserTest::unreachableAddressIsTriedAgain()
{
    // A portal that is gone: its port refuses connections until it starts there again.
    PortalProcess gone;
    QVERIFY2(gone.start(), qPrintable(gone.errorString()));
    const QString port = QString::number(gone.port());
    const QString address = gone.baseUrl() + QStringLiteral("/test/page.html");
    gone.stop();

    m_browser->setRetryOffline(true);
    m_browser->resize(800, 400);
    m_browser->show();
    // Every load, an attempt too, passes the before-navigate event.
    int tries = 0;
    connect(m_browser.get(), &TCppWebBrowser::OnBeforeNavigate2, this,
            [&tries](const QString &, bool &) { ++tries; });
    QSignalSpy ends(m_browser.get(), &TCppWebBrowser::OnDownloadComplete);
    m_browser->Navigate(address);
    QVERIFY(WaitForBodyText(m_browser.get(), QStringLiteral("暂时无法连接服务")));
    QVERIFY2(BodyTextOf(m_browser.get()).contains(address), qPrintable(BodyTextOf(m_browser.get())));
    QCOMPARE(m_browser->LocationURL(), address);
    QVERIFY(!m_browser->Busy());

    // Neither an answer of the service (an error page it sends) nor a command address is tried again.
    QVERIFY(m_portal->setFault(QStringLiteral("/test/target.html"), QStringLiteral("status:500")));
    TCppWebBrowser answered;
    answered.setRetryOffline(true);
    const int served = RequestsFor(m_portal->requestLog(), QStringLiteral("/test/target.html"));
    QVERIFY(LoadPage(&answered, url("/test/target.html")));
    TCppWebBrowser command;
    command.setRetryOffline(true);
    command.setCommandTest(
        [](const QString &target) { return target.contains(QLatin1String("cpp_close=")); });
    int commandTries = 0;
    connect(&command, &TCppWebBrowser::OnBeforeNavigate2, this,
            [&commandTries](const QString &, bool &) { ++commandTries; });
    command.Navigate(gone.baseUrl() + QStringLiteral("/test/page.html?&cpp_close=1"));
    QVERIFY(WaitUntil([&] { return !command.Busy(); }));

    // Once the first browser has tried again, the others would have too.
    QTRY_VERIFY_WITH_TIMEOUT(tries >= 2, 15000);
    QVERIFY(WaitWhileBusy(m_browser.get()));
    QCOMPARE(ends.count(), 1); // a failed attempt is no news for the window
    QVERIFY(BodyTextOf(&answered).contains(QStringLiteral("服务错误")));
    QVERIFY(!answered.isOffline() && !command.isOffline());
    QCOMPARE(RequestsFor(m_portal->requestLog(), QStringLiteral("/test/target.html")), served + 1);
    QCOMPARE(commandTries, 1);
    QVERIFY(m_portal->setFault(QStringLiteral("/test/target.html"), QString()));

    // "重试" tries at once, well before the next attempt is due.
    const int before = tries;
    ClickById(m_browser.get(), QStringLiteral("sorvane-retry"));
    QTRY_VERIFY_WITH_TIMEOUT(tries > before, 2000);

    // The service back on its port: the page comes back by itself.
    QVERIFY2(gone.start({QStringLiteral("--port"), port}), qPrintable(gone.errorString()));
    QVERIFY(WaitForBodyText(m_browser.get(), QStringLiteral("Hello body"), 15000));
    QVERIFY(!m_browser->isOffline());
    QCOMPARE(m_browser->LocationURL(), address);
}

// Run with an English desktop (LANG=en_US.UTF-8): the engine speaks Chinese all the same.
void BrowserTest::engineSpeaksChinese()
{
    if (QLocale::system().language() != QLocale::English)
        QSKIP("needs an English desktop locale (LANG=en_US.UTF-8)");
    QVERIFY(LoadPage(m_browser.get(), url("/test/lang.html")));
    QCOMPARE(ScriptResult(m_browser.get(), QStringLiteral("navigator.language")).toString(),
             QStringLiteral("zh-CN"));
    const QString header =
        ScriptResult(m_browser.get(), QStringLiteral("document.getElementById('header').textContent"))
            .toString();
    QVERIFY2(header.startsWith(QLatin1String("zh-CN")), qPrintable(header));
}

SORVANE_ENGINE_TEST_MAIN(BrowserTest)

#include "tst_browser.moc"
