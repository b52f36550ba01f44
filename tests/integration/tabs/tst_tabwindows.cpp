// The tabbed page window and the video window on their own, with real pages from the portal.
#include "AppWindows.h"
#include "BrowserWait.h"
#include "CppWebBrowser.h"
#include "EngineTestMain.h"
#include "PageDriver.h"
#include "PortalProcess.h"
#include "client/mainwindow/Dismess.h"
#include "client/mainwindow/Disvideo.h"
#include "client/mainwindow/PageControlEx.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

QString PageUrl(const PortalProcess &portal, const QString &title)
{
    return portal.baseUrl() + QStringLiteral("/tabs-test/page.html?t=") +
           QString::fromLatin1(QUrl::toPercentEncoding(title));
}

// deleteLater'd widgets go when control is back in an event loop; the test has none of its own.
void FlushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class TabWindowsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void tabbedWindowLooks();
    void tabCaptionFollowsTitle();
    void longChineseTitle();
    void deleteFromFourTabs();
    void deleteOnlyTabHides();
    void doubleClickOnTabDeletes();
    void closingDeletesAllTabs();
    void newWindowFromTabBecomesTab();
    void closeWhileTabIsAdded();
    void commandInTabIsNotIntercepted();

    void videoWindowLooks();
    void videoWindowPlacement();
    void videoWindowCloseHides();

private:
    TfrmDisMess *shownTabWindow();

    PortalProcess m_portal;
    QPointer<TfrmDisMess> m_tabs;
};

void TabWindowsTest::initTestCase()
{
    QVERIFY2(m_portal.start(), qPrintable(m_portal.errorString()));
}

void TabWindowsTest::cleanup()
{
    DestroyAppWindows();
    FlushDeletes();
}

TfrmDisMess *TabWindowsTest::shownTabWindow()
{
    m_tabs = CreateForm<TfrmDisMess>();
    m_tabs->show();
    return QTest::qWaitForWindowExposed(m_tabs) ? m_tabs.data() : nullptr;
}

void TabWindowsTest::tabbedWindowLooks()
{
    TfrmDisMess *window = shownTabWindow();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Sorvane金融终端"));
    QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(window->statusText(), QStringLiteral("Telvar欢迎您"));
    // The client area below the menu bar: 1016 x 396.
    QCOMPARE(window->width(), 1016);
    QCOMPARE(window->height() - window->menuBar()->height(), 396);
    const QPoint screenCentre = window->screen()->geometry().center();
    QVERIFY(qAbs(window->geometry().center().x() - screenCentre.x()) <= 1);
    QVERIFY(qAbs(window->geometry().center().y() - screenCentre.y()) <= window->menuBar()->height());
    QStringList items;
    for (QAction *action : window->menuBar()->actions())
        items << action->text();
    QCOMPARE(items, (QStringList{QStringLiteral("退出"), QStringLiteral("删除当前页面")}));
    for (QAction *action : window->menuBar()->actions())
        QVERIFY(!action->menu());

    TCppWebBrowser *browser = window->addBrowserTab(QStringLiteral("Telvar投资"));
    browser->Navigate(PageUrl(m_portal, QStringLiteral("行情")));
    QVERIFY(WaitWhileBusy(browser));
    QVERIFY(browser->Silent());
    QCOMPARE(browser->geometry(), window->pageControl()->currentWidget()->rect());
    // The template browser is never navigated nor shown: it costs no page.
    QVERIFY(!window->cppParant()->isVisible());
    QVERIFY(!window->cppParant()->hasPage());
}

void TabWindowsTest::tabCaptionFollowsTitle()
{
    TfrmDisMess *window = shownTabWindow();
    QVERIFY(window);
    TCppWebBrowser *browser = window->addBrowserTab(QStringLiteral("Telvar投资"));
    QCOMPARE(window->pageControl()->tabText(0), QStringLiteral("Telvar投资"));
    browser->Navigate(PageUrl(m_portal, QStringLiteral("Quotes 行情")));
    QTRY_COMPARE(window->pageControl()->tabText(0), QStringLiteral("Quotes 行情"));
    QTRY_COMPARE(window->statusText(), QStringLiteral("完成"));

    // A title naming an address is replaced, in the caption and the status bar alike.
    ScriptResult(browser, QStringLiteral("document.title = 'http://www.kw730.example/x'"));
    QTRY_COMPARE(window->pageControl()->tabText(0), QStringLiteral("Telvar金融终端......"));
    QCOMPARE(window->statusText(), QStringLiteral("Telvar金融终端......"));

    // An empty title is an empty caption and status, though the engine titles the page with its address.
    ScriptResult(browser, QStringLiteral("document.title = ''"));
    QTRY_COMPARE(window->pageControl()->tabText(0), QString());
    QCOMPARE(window->statusText(), QString());
}

void TabWindowsTest::longChineseTitle()
{
    TfrmDisMess *window = shownTabWindow();
    QVERIFY(window);
    TCppWebBrowser *browser = window->addBrowserTab(QStringLiteral("Telvar投资"));
    browser->Navigate(PageUrl(m_portal, QStringLiteral("x")));
    QVERIFY(WaitWhileBusy(browser));
    const QString fifteen = QStringLiteral("沪深两市今日行情回顾与明日走势");
    ScriptResult(browser, QStringLiteral("document.title = '%1'").arg(fifteen));
    QTRY_COMPARE(window->statusText(), fifteen);
    QCOMPARE(window->pageControl()->tabText(0), fifteen.left(10));
}

void TabWindowsTest::deleteFromFourTabs()
{
    TfrmDisMess *window = shownTabWindow();
    QVERIFY(window);
    QList<QPointer<TCppWebBrowser>> browsers;
    for (int i = 0; i < 4; ++i) {
        browsers << window->addBrowserTab(QStringLiteral("tab %1").arg(i));
        browsers.last()->Navigate(PageUrl(m_portal, QStringLiteral("tab %1").arg(i)));
    }
    for (const auto &browser : browsers)
        QVERIFY(WaitWhileBusy(browser));
    QCOMPARE(window->pageControl()->currentIndex(), 3);

    window->atDeleNowPage()->trigger();
    QCOMPARE(window->pageControl()->count(), 3);
    QCOMPARE(window->pageControl()->currentIndex(), 2);
    QVERIFY(window->isVisible());
    // The sheet and its browser go, and the page with them at once.
    QVERIFY(!browsers[3] || !browsers[3]->hasPage());
    FlushDeletes();
    QVERIFY(browsers[3].isNull());
    QCOMPARE(window->tabBrowser(2), browsers[2].data());

    // Index 1 deleted: the control's own choice stands, any remaining tab is current.
    window->pageControl()->setCurrentIndex(1);
    window->atDeleNowPage()->trigger();
    QCOMPARE(window->pageControl()->count(), 2);
    QVERIFY(window->pageControl()->currentIndex() >= 0);
    FlushDeletes();
    QVERIFY(browsers[1].isNull());
    QVERIFY(!browsers[0].isNull() && !browsers[2].isNull());
}

void TabWindowsTest::deleteOnlyTabHides()
{
    TfrmDisMess *window = shownTabWindow();
    QVERIFY(window);
    window->addBrowserTab(QStringLiteral("only"));
    window->atDeleNowPage()->trigger();
    QVERIFY(!window->isVisible());
    QCOMPARE(window->pageControl()->count(), 0);
    // Deleting with no tab left does nothing.
    window->atDeleNowPage()->trigger();
    QCOMPARE(window->pageControl()->count(), 0);
    FlushDeletes();
    QVERIFY(m_tabs);

    // The same window takes the next tab.
    window->show();
    TCppWebBrowser *browser = window->addBrowserTab(QStringLiteral("Telvar投资"));
    browser->Navigate(PageUrl(m_portal, QStringLiteral("again")));
    QTRY_COMPARE(window->pageControl()->tabText(0), QStringLiteral("again"));
}

void TabWindowsTest::doubleClickOnTabDeletes()
{
    TfrmDisMess *window = shownTabWindow();
    QVERIFY(window);
    for (int i = 0; i < 3; ++i)
        window->addBrowserTab(QStringLiteral("tab %1").arg(i));
    QTabBar *bar = window->pageControl()->tabBar();
    // As the window system delivers it: a click, then the second press as a double-click.
    const auto doubleClick = [](QWidget *widget, Qt::MouseButton button, QPoint at) {
        QTest::mouseClick(widget, button, {}, at);
        QTest::mouseDClick(widget, button, {}, at);
    };
    QCOMPARE(window->pageControl()->currentIndex(), 2);
    // A right double-click does nothing.
    doubleClick(bar, Qt::RightButton, bar->tabRect(1).center());
    QCOMPARE(window->pageControl()->count(), 3);
    // The first click makes the tab current, so the double-clicked tab is the one that goes.
    doubleClick(bar, Qt::LeftButton, bar->tabRect(0).center());
    QCOMPARE(window->pageControl()->count(), 2);
    QCOMPARE(window->pageControl()->tabText(0), QStringLiteral("tab 1"));
    QCOMPARE(window->pageControl()->tabText(1), QStringLiteral("tab 2"));
    // The empty strip beside the tabs belongs to the control too.
    const QPoint strip(bar->geometry().right() + 40, bar->geometry().center().y());
    doubleClick(window->pageControl(), Qt::LeftButton, strip);
    QCOMPARE(window->pageControl()->count(), 1);
}

void TabWindowsTest::closingDeletesAllTabs()
{
    TfrmDisMess *window = shownTabWindow();
    QVERIFY(window);
    for (int i = 0; i < 3; ++i)
        window->addBrowserTab(QStringLiteral("tab %1").arg(i));
    QSignalSpy deleteRuns(window->atDeleNowPage(), &QAction::triggered);
    QVERIFY(window->close());
    QCOMPARE(deleteRuns.count(), 3);
    QCOMPARE(window->pageControl()->count(), 0);
    QVERIFY(!window->isVisible());
    QVERIFY(!window->closing());
    FlushDeletes();
    QVERIFY(m_tabs);

    // "退出" is the same close.
    window->show();
    window->addBrowserTab(QStringLiteral("x"));
    window->menuBar()->actions().at(0)->trigger();
    QVERIFY(!window->isVisible());
    QCOMPARE(window->pageControl()->count(), 0);
}

void TabWindowsTest::newWindowFromTabBecomesTab()
{
    TfrmDisMess *window = shownTabWindow();
    QVERIFY(window);
    TCppWebBrowser *first = window->addBrowserTab(QStringLiteral("Telvar投资"));
    first->Navigate(PageUrl(m_portal, QStringLiteral("first")));
    QVERIFY(WaitWhileBusy(first));

    // A link aimed at a new window.
    ScriptResult(first, QStringLiteral("document.getElementById('new-window-link').click()"));
    QTRY_COMPARE(window->pageControl()->count(), 2);
    QCOMPARE(window->pageControl()->currentIndex(), 1);
    TCppWebBrowser *opened = window->tabBrowser(1);
    QVERIFY(opened);
    QVERIFY(opened->RegisterAsBrowser());
    QVERIFY(opened->Silent());
    QTRY_VERIFY(opened->LocationURL().contains(QLatin1String("/tabs-test/page.html")));
    QTRY_COMPARE(window->pageControl()->tabText(1), QStringLiteral("新窗口"));
    QTRY_COMPARE(ScriptResult(opened, QStringLiteral("document.body.innerText"))
                     .toString()
                     .contains(QLatin1String("TAB-TEST-PAGE")),
                 true);
    QCOMPARE(opened->geometry(), window->pageControl()->currentWidget()->rect());
    QCOMPARE(first->LocationURL(), PageUrl(m_portal, QStringLiteral("first")));

    // A script in the new tab opens one more: handlers are carried on to tabs made for new windows.
    ScriptResult(opened, QStringLiteral("window.open('/tabs-test/page.html?t=third')"));
    QTRY_COMPARE(window->pageControl()->count(), 3);
    QCOMPARE(window->pageControl()->currentIndex(), 2);
    QTRY_COMPARE(window->pageControl()->tabText(2), QStringLiteral("third"));
}

void TabWindowsTest::commandInTabIsNotIntercepted()
{
    TfrmDisMess *window = shownTabWindow();
    QVERIFY(window);
    TCppWebBrowser *browser = window->addBrowserTab(QStringLiteral("Telvar投资"));
    browser->Navigate(PageUrl(m_portal, QStringLiteral("x")));
    QVERIFY(WaitWhileBusy(browser));
    ScriptResult(browser, QStringLiteral("document.getElementById('tab-command').click()"));
    QTRY_VERIFY(browser->LocationURL().contains(QLatin1String("/kw730/cmd.jsp?tarwin=1")));
    QVERIFY(WaitWhileBusy(browser));
    QCOMPARE(window->pageControl()->count(), 1);
}

void TabWindowsTest::closeWhileTabIsAdded()
{
    TfrmDisMess *window = shownTabWindow();
    QVERIFY(window);
    TCppWebBrowser *first = window->addBrowserTab(QStringLiteral("first"));
    first->Navigate(PageUrl(m_portal, QStringLiteral("first")));
    QVERIFY(WaitWhileBusy(first));
    // The new tab becomes current inside the engine's new-window call, which then lets events run:
    // a close queued for that moment must not free the pages the engine still holds.
    bool closeQueued = false;
    connect(window->pageControl(), &QTabWidget::currentChanged, window, [window, &closeQueued](int index) {
        if (index == 1 && !closeQueued) {
            closeQueued = true;
            QTimer::singleShot(0, window, [window] { window->close(); });
        }
    });
    ScriptResult(first, QStringLiteral("window.open('/tabs-test/page.html?t=second')"));
    QTRY_VERIFY(closeQueued);
    QTRY_COMPARE(window->pageControl()->count(), 0);
    QVERIFY(!window->isVisible());
    FlushDeletes();

    // The engine goes on: a new tab loads its page.
    TCppWebBrowser *again = window->addBrowserTab(QStringLiteral("again"));
    again->Navigate(PageUrl(m_portal, QStringLiteral("again")));
    QVERIFY(WaitForBodyText(again, QStringLiteral("TAB-TEST-PAGE")));
}

void TabWindowsTest::videoWindowLooks()
{
    auto *video = CreateForm<TfrmDisVideo>();
    QCOMPARE(video->windowTitle(), QStringLiteral("显示视频"));
    QCOMPARE(video->size(), QSize(532, 399));
    QVERIFY(!video->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!video->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(!video->parentWidget());
    // Created hidden, it costs no page until it is used.
    QVERIFY(!video->cppVideo()->hasPage());

    video->show();
    QVERIFY(QTest::qWaitForWindowExposed(video));
    QCOMPARE(video->cppVideo()->geometry(), video->rect());
    video->resize(700, 500);
    QTRY_COMPARE(video->cppVideo()->geometry(), video->rect());
}

void TabWindowsTest::videoWindowPlacement()
{
    // The first window is placed before any frame is known, the second with the frame of the first.
    for (int round = 0; round < 2; ++round) {
        auto *video = CreateForm<TfrmDisVideo>();
        video->show();
        QVERIFY(QTest::qWaitForWindowExposed(video));
        const QSize screen = video->screen()->geometry().size();
        QTRY_VERIFY(video->frameGeometry().size() != video->size());
        const QRect outer = video->frameGeometry();
        const QPoint expected(screen.width() - outer.width() - 10, screen.height() - outer.height() - 40);
        QTRY_COMPARE(video->frameGeometry().topLeft(), expected);
        // What the window manager itself reports: the client area sits inside that frame.
        const QMargins frame = video->windowHandle()->frameMargins();
        QCOMPARE(video->geometry().topLeft(), expected + QPoint(frame.left(), frame.top()));
        video->close();
    }
}

void TabWindowsTest::videoWindowCloseHides()
{
    QPointer<TfrmDisVideo> video = CreateForm<TfrmDisVideo>();
    video->show();
    QVERIFY(QTest::qWaitForWindowExposed(video));
    const QString url = PageUrl(m_portal, QStringLiteral("video"));
    video->cppVideo()->Navigate(url);
    QVERIFY(WaitWhileBusy(video->cppVideo()));
    QVERIFY(video->close());
    FlushDeletes();
    QVERIFY(video);
    QVERIFY(!video->isVisible());
    // Its page is stopped, so nothing plays on behind the desktop.
    QVERIFY(!video->cppVideo()->hasPage());
    // Its native window goes too: every video command leaves a closed window behind, and each
    // held several MiB of render surfaces for the rest of the day. Shown again, it comes back.
    QTRY_VERIFY(!video->windowHandle());
    video->show();
    QVERIFY(QTest::qWaitForWindowExposed(video));
    QVERIFY(video->close());
}

SORVANE_ENGINE_TEST_MAIN(TabWindowsTest)

#include "tst_tabwindows.moc"
