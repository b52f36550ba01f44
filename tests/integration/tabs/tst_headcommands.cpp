// The head and end areas' commands in the real main window, against the portal's own pages.
#include "AppWindows.h"
#include "BrowserWait.h"
#include "ClientSession.h"
#include "CppWebBrowser.h"
#include "EngineTestMain.h"
#include "PageDriver.h"
#include "XWindows.h"
#include "client/mainwindow/Dismess.h"
#include "client/mainwindow/Main.h"
#include "client/mainwindow/PageControlEx.h"
#include "client/popups/Popie.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

class HeadCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void windowCommands_data();
    void windowCommands();
    void refreshReloadsBody();
    void linkPopup_data();
    void linkPopup();
    void newWindowsGoToBody_data();
    void newWindowsGoToBody();
    void newWindowWithBodyCommand();

private:
    // The head page is still the one it was, and no command URL reached the portal.
    void headStayed();

    std::unique_ptr<ClientSession> m_client;
};

// One login for the class: every case starts from the main window on its start pages.
void HeadCommandsTest::initTestCase()
{
    m_client = std::make_unique<ClientSession>();
    QVERIFY2(m_client->start(), qPrintable(m_client->error()));
}

void HeadCommandsTest::init()
{
    QVERIFY(m_client);
    QVERIFY(m_client->portal().setFault(QStringLiteral("/kw730/news.jsp"), QString()));
    QVERIFY2(m_client->reset(), qPrintable(m_client->error()));
}

void HeadCommandsTest::cleanupTestCase()
{
    m_client.reset();
}

void HeadCommandsTest::headStayed()
{
    QVERIFY(frmMain->cppHead->LocationURL().endsWith(QLatin1String("/clilogin/index01.jsp")));
    QVERIFY(BodyTextOf(frmMain->cppHead).contains(QStringLiteral("快讯弹窗")));
    QCOMPARE(m_client->requestsOf(QStringLiteral("/cmd.jsp")), 0);
    QVERIFY(m_client->boxes().isEmpty());
}

void HeadCommandsTest::windowCommands_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("visibleAfter");
    QTest::newRow("close hides") << "head-close" << false;
    QTest::newRow("min hides") << "head-min" << false;
    QTest::newRow("max changes nothing") << "head-max" << true;
}

void HeadCommandsTest::windowCommands()
{
    QFETCH(QString, link);
    QFETCH(bool, visibleAfter);
    const QRect before = frmMain->geometry();
    const LoadEnds ends({frmMain->cppHead});
    ClickById(frmMain->cppHead, link);
    // The refused navigation's own end comes after its command has been carried out.
    QVERIFY(ends.wait(frmMain->cppHead));
    QTRY_COMPARE(frmMain->isVisible(), visibleAfter);
    QCOMPARE(frmMain->geometry(), before);
    headStayed();
    // Hidden, the application keeps running and the tray brings the window back.
    if (!visibleAfter) {
        frmMain->atRstore->trigger();
        QTRY_VERIFY(frmMain->isVisible());
    }
}

void HeadCommandsTest::refreshReloadsBody()
{
    const int bodyLoads = m_client->requestsOf(QStringLiteral("/clilogin/index02.jsp"));
    const int headLoads = m_client->requestsOf(QStringLiteral("/clilogin/index01.jsp"));
    // The body is still loading when the command comes: it is refreshed once that load is done.
    QVERIFY(m_client->portal().setFault(QStringLiteral("/kw730/news.jsp"), QStringLiteral("delay:800")));
    const LoadEnds ends({frmMain->cppHead, frmMain->cppBody});
    ClickById(frmMain->cppBody, QStringLiteral("body-plain"));
    QTRY_VERIFY(frmMain->cppBody->Busy());
    ClickById(frmMain->cppHead, QStringLiteral("head-refresh"));
    QVERIFY(ends.wait(frmMain->cppHead));
    // The slow load, then the reload the command asked for.
    QVERIFY(ends.wait(frmMain->cppBody, 2));
    QCOMPARE(m_client->requestsOf(QStringLiteral("/kw730/news.jsp")), 2);
    QVERIFY(frmMain->cppBody->LocationURL().contains(QLatin1String("/kw730/news.jsp?id=2")));
    QCOMPARE(m_client->requestsOf(QStringLiteral("/clilogin/index02.jsp")), bodyLoads);
    QCOMPARE(m_client->requestsOf(QStringLiteral("/clilogin/index01.jsp")), headLoads);
    headStayed();
}

void HeadCommandsTest::linkPopup_data()
{
    QTest::addColumn<QString>("link");    // an element of the head page, or a script
    QTest::addColumn<QString>("address"); // what the pop-up shows, after the portal's root
    QTest::addColumn<QSize>("size");      // empty: unchanged
    QTest::addColumn<bool>("centred");
    QTest::newRow("newwin: the whole url") << "head-newwin"
                                           << "/popup/linkpop.html?newwin=1" << QSize() << false;
    QTest::newRow("cpp_open_win, left center") << "head-openwin"
                                               << "/popup/linkpop.html?from=head" << QSize(463, 377) << true;
    QTest::newRow("cpp_open_win, top Center") << "head-openwin-top"
                                              << "/popup/linkpop.html?from=help" << QSize(520, 360) << true;
    QTest::newRow("numeric left is not applied")
        << "location.href = "
           "'/cmd.jsp?x=1&cpp_open_win=1&cpp_url=ROOT%2Fpopup%2Flinkpop.html%3Fa%3Db%2Bc&cpp_left=100'"
        << "/popup/linkpop.html?a=b+c" << QSize() << false;
    QTest::newRow("non-numeric width ignored, height applied")
        << "location.href = "
           "'/cmd.jsp?x=1&cpp_open_win=1&cpp_url=ROOT%2Fpopup%2Flinkpop.html&cpp_width=wide&cpp_height=300'"
        << "/popup/linkpop.html" << QSize(-1, 300) << false;
}

void HeadCommandsTest::linkPopup()
{
    QFETCH(QString, link);
    QFETCH(QString, address);
    QFETCH(QSize, size);
    QFETCH(bool, centred);
    // A link pop-up opened once before (its first show centres it), then hidden and put off
    // centre, so that centring shows.
    delete frmPopIe.data();
    frmPopIe = CreateForm<TfrmPopIe>();
    frmPopIe->openPage(m_client->portal().baseUrl() + QStringLiteral("/popup/linkpop.html"), std::nullopt,
                       std::nullopt, false, nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(frmPopIe));
    QVERIFY(WaitForBodyText(frmPopIe->ie1, QStringLiteral("快讯")));
    frmPopIe->hide();
    frmPopIe->move(5, 5);
    const QSize sizeBefore = frmPopIe->size();
    // Where the window is: the X server's view (Qt's own reads 0,0 for a window of this kind shown
    // again under openbox, though it is in its place).
    const QString id = QString::number(frmPopIe->winId());
    // ROOT: the portal's address, form-encoded as a page puts it into cpp_url.
    link.replace(QLatin1String("ROOT"),
                 QString::fromLatin1(QUrl::toPercentEncoding(m_client->portal().baseUrl())));
    const LoadEnds ends({frmMain->cppHead, frmPopIe->ie1});
    if (link.contains(QLatin1Char('=')))
        ScriptResult(frmMain->cppHead, link);
    else
        ClickById(frmMain->cppHead, link);
    QTRY_VERIFY(frmPopIe->isVisible());
    QVERIFY(ends.wait(frmMain->cppHead));
    // A blank page first, then the page asked for.
    QVERIFY(ends.wait(frmPopIe->ie1, 2));
    const QString shown = frmPopIe->ie1->LocationURL();
    QVERIFY2(shown.endsWith(address), qPrintable(shown));
    QCOMPARE(frmPopIe->width(), size.width() > 0 ? size.width() : sizeBefore.width());
    QCOMPARE(frmPopIe->height(), size.height() > 0 ? size.height() : sizeBefore.height());
    const QRect screen = frmPopIe->screen()->geometry();
    const QPoint expected = centred ? screen.topLeft() + QPoint((screen.width() - frmPopIe->width()) / 2,
                                                                (screen.height() - frmPopIe->height()) / 2)
                                    : QPoint(5, 5);
    QTRY_COMPARE(xwindows::geometry(id).topLeft(), expected);
    QVERIFY(frmPopIe->ie1->hasHostLook());
    headStayed();
}

void HeadCommandsTest::newWindowsGoToBody_data()
{
    QTest::addColumn<bool>("fromEnd");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("bodyShows");
    QTest::newRow("head link with a new-window target")
        << false << "document.getElementById('head-blank').click()"
        << "/kw730/news.jsp?id=9";
    QTest::newRow("head script") << false << "document.getElementById('head-script-open').click()"
                                 << "/kw730/notice.jsp?from=head";
    QTest::newRow("end script") << true << "openNotice('end-test')"
                                << "/kw730/notice.jsp?from=end-test";
    QTest::newRow("end link") << true << "document.getElementById('end-blank').click()"
                              << "/kw730/notice.jsp?from=end-link";
}

void HeadCommandsTest::newWindowsGoToBody()
{
    QFETCH(bool, fromEnd);
    QFETCH(QString, script);
    QFETCH(QString, bodyShows);
    TCppWebBrowser *source = fromEnd ? frmMain->cppEnd : frmMain->cppHead;
    const QString sourcePage = source->LocationURL();
    const LoadEnds ends({frmMain->cppHead, frmMain->cppBody, frmMain->cppEnd});
    ScriptResult(source, script);
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->cppBody->LocationURL().endsWith(bodyShows), 10000);
    QVERIFY(ends.wait(frmMain->cppBody));
    QVERIFY(frmMain->cppBody->RegisterAsBrowser());
    QVERIFY(BodyTextOf(frmMain->cppBody)
                .contains(fromEnd || bodyShows.contains(QLatin1String("notice")) ? QStringLiteral("公告")
                                                                                 : QStringLiteral("资讯")));
    QCOMPARE(source->LocationURL(), sourcePage);
    headStayed();
    // A navigation of the body: back returns to where the body was.
    frmMain->cppBody->GoBack();
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->cppBody->LocationURL().endsWith(QLatin1String("/clilogin/index02.jsp")),
                             10000);
}

// A body command opened as a new window from the head is the body's command; the body keeps its page.
void HeadCommandsTest::newWindowWithBodyCommand()
{
    const LoadEnds ends({frmMain->cppHead, frmMain->cppBody, frmMain->cppEnd});
    ScriptResult(frmMain->cppHead, QStringLiteral("window.open('/kw730/news.jsp?id=1&tarwin=1')"));
    QTRY_VERIFY_WITH_TIMEOUT(frmDisMess && frmDisMess->isVisible(), 10000);
    QCOMPARE(frmDisMess->pageControl()->count(), 1);
    // The body refused the command as a navigation of its own.
    QVERIFY(ends.wait(frmMain->cppBody));
    QVERIFY(frmMain->cppBody->LocationURL().endsWith(QLatin1String("/clilogin/index02.jsp")));
    QVERIFY(!BodyTextOf(frmMain->cppBody).isEmpty());
    headStayed();
}

SORVANE_ENGINE_TEST_MAIN(HeadCommandsTest)

#include "tst_headcommands.moc"
