#include "EngineTestMain.h"
#include "LoginTestSupport.h"
#include "PageDriver.h"
#include "PortalProcess.h"
#include "XWindows.h"

#include "AppWindows.h"
#include "BrowserWait.h"
#include "ClientStartup.h"
#include "CppWebBrowser.h"
#include "client/login/Flogin.h"
#include "client/mainwindow/Main.h"
#include "client/widgets/PictureBox.h"
#include "client/widgets/WindowMoves.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include <memory>

// The main window with the portal's pages: the mouse filter on them, and the actions that load,
// reload and end the session. Pointer input goes through the X server, as a user's would.
class MainPagesTest : public QObject, protected LoginCaseFixture
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void endAreaLoadsWithoutHeight();
    void rightPressInPageReachesNoPage();
    void headDragBand_data();
    void headDragBand();
    void forgettingTheLoginKeepsTheSession();
    void personalPageAndHome();
    void deletingCachedInformationEndsTheSession();

private:
    // One portal for the whole class; its settings written anew. False when it failed (the caller
    // returns).
    [[nodiscard]] bool usePortal(const QMap<QString, QString> &settings = {});
    void showMain();
    void logInAutomatically();
    bool loadTestPage(TCppWebBrowser *browser);
};

void MainPagesTest::initTestCase()
{
    // One session for the class: the later cases go on in the main window the login opened.
    beginCase();
    if (QTest::currentTestFailed())
        return;
    CreateClientWindows();
    frmLogin->show();
}

void MainPagesTest::cleanupTestCase()
{
    endCase();
}

void MainPagesTest::cleanup()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
}

bool MainPagesTest::usePortal(const QMap<QString, QString> &settings)
{
    return m_portal ? writeSettings(QString(), settings) : startPortal({}, QString(), settings);
}

void MainPagesTest::showMain()
{
    frmMain->show();
    frmMain->raise();
    frmMain->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frmMain));
}

void MainPagesTest::logInAutomatically()
{
    if (!usePortal({{QStringLiteral("savepass"), QStringLiteral("1")},
                    {QStringLiteral("aotologin"), QStringLiteral("1")},
                    {QStringLiteral("userid"), QStringLiteral("demo")},
                    {QStringLiteral("userpass"), QStringLiteral("demo123")}}))
        return;
    FreshLoginWindow();
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
    QVERIFY(WaitForPage(frmMain->cppBody, QStringLiteral("page-index02")));
}

bool MainPagesTest::loadTestPage(TCppWebBrowser *browser)
{
    browser->Navigate(m_portal->baseUrl() + QStringLiteral("/login-test/mouse.html"));
    return WaitForBodyText(browser, QStringLiteral("MOUSE-TEST"));
}

void MainPagesTest::endAreaLoadsWithoutHeight()
{
    if (!usePortal())
        return;
    showMain();
    QVERIFY(loadTestPage(frmMain->cppEnd));
    QCOMPARE(frmMain->PanelEnd->height(), 0);
    frmMain->hide();
}

void MainPagesTest::rightPressInPageReachesNoPage()
{
    if (!usePortal())
        return;
    showMain();
    QVERIFY(loadTestPage(frmMain->cppBody));
    const PointerWatch pointer;
    const QPoint inside = frmMain->cppBody->mapToGlobal(QPoint(300, 200));
    QVERIFY(xwindows::clickAt(inside, 3));
    QVERIFY(xwindows::xdotool(
        {QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("3")}));
    // The left button does reach the page by the same way; it comes after the right presses, so
    // the page's record holds it alone unless one of them got through.
    QVERIFY(xwindows::clickAt(inside, 1));
    QTRY_COMPARE(ScriptResult(frmMain->cppBody, QStringLiteral("seen.join(',')")).toString(),
                 QStringLiteral("down0"));
    QCOMPARE(pointer.presses(Qt::RightButton), 3);
    QCOMPARE(pointer.popupsShown(), 0);
    QVERIFY(!QApplication::activePopupWidget());
    frmMain->hide();
}

void MainPagesTest::headDragBand_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("moves");
    QTest::newRow("x 700 is the head's controls") << 700 << 10 << false;
    QTest::newRow("x 720 drags") << 720 << 10 << true;
    QTest::newRow("left part drags") << 100 << 10 << true;
    QTest::newRow("y 27 is below the band") << 100 << 27 << false;
    QTest::newRow("x 900 is the head's buttons") << 900 << 10 << false;
}

void MainPagesTest::headDragBand()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(bool, moves);
    if (!usePortal())
        return;
    CentreOnScreen(frmMain);
    showMain();
    QVERIFY(WaitForPlacement(frmMain));
    if (PageId(frmMain->cppHead).isEmpty() && BodyTextOf(frmMain->cppHead).isEmpty())
        QVERIFY(loadTestPage(frmMain->cppHead));
    const QPoint before = frmMain->pos();
    PointerWatch pointer;
    QVERIFY(pointer.drag(frmMain->cppHead->mapToGlobal(QPoint(x, y)), QPoint(60, 40)));
    if (moves) {
        QTRY_COMPARE(frmMain->pos(), before + QPoint(60, 40));
    } else {
        // The release comes back to the client only when no window move had taken the pointer.
        QTRY_COMPARE(pointer.releases(Qt::LeftButton), 1);
        QCOMPARE(frmMain->pos(), before);
    }
    QCOMPARE(frmMain->Labelinfo->text(), QStringLiteral("x:%1,y:%2,width:1004").arg(x).arg(y));
    frmMain->hide();
}

void MainPagesTest::forgettingTheLoginKeepsTheSession()
{
    logInAutomatically();
    frmMain->MenuItem2->trigger();
    QCOMPARE(StoredSetting(QStringLiteral("userid")), QString());
    QCOMPARE(StoredSetting(QStringLiteral("userpass")), QString());
    QCOMPARE(StoredSetting(QStringLiteral("savepass")), QStringLiteral("0"));
    QCOMPARE(StoredSetting(QStringLiteral("aotologin")), QStringLiteral("0"));
    QVERIFY(frmMain->isVisible());
    QCOMPARE(frmLogin->teUserPass->text(), QStringLiteral("demo123"));
    // Still logged in: a complete reload shows the session pages again.
    const int before = RequestsFor(m_portal->requestLog(), QStringLiteral("/clilogin/index02.jsp"));
    frmMain->N6->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(RequestsFor(m_portal->requestLog(), QStringLiteral("/clilogin/index02.jsp")),
                              before + 1, 20000);
    QVERIFY(WaitForPage(frmMain->cppBody, QStringLiteral("page-index02")));
    QVERIFY(WaitForPage(frmMain->cppHead, QStringLiteral("page-index01")));
}

void MainPagesTest::personalPageAndHome()
{
    QVERIFY(frmMain->isVisible());
    QTest::mouseClick(frmMain->Image4, Qt::LeftButton);
    QVERIFY(WaitForPage(frmMain->cppBody, QStringLiteral("page-myspace1")));
    frmMain->cppHead->Navigate(QStringLiteral("about:blank"));
    WaitWhileBusy(frmMain->cppHead);
    frmMain->N4->trigger();
    QVERIFY(WaitForPage(frmMain->cppHead, QStringLiteral("page-index01")));
    QVERIFY(WaitForPage(frmMain->cppBody, QStringLiteral("page-index02")));
    QVERIFY(WaitForPage(frmMain->cppEnd, QStringLiteral("page-index03")));
}

void MainPagesTest::deletingCachedInformationEndsTheSession()
{
    QVERIFY(frmMain->isVisible());
    frmMain->MenuItem3->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(RequestsFor(m_portal->requestLog(), QStringLiteral("/clilogin/deletecook.jsp")),
                              1, 20000);
    QVERIFY(WaitWhileBusy(frmLogin->cppadd));
    frmMain->atRefesh3Page->trigger();
    QVERIFY(WaitForPage(frmMain->cppBody, QStringLiteral("page-notlogged")));
    frmMain->hide();
}

int main(int argc, char *argv[])
{
    return RunEngineTest<MainPagesTest>(argc, argv, DestroyAppWindows);
}

#include "tst_mainpages.moc"
