#include "LoginTestSupport.h"
#include "PortalProcess.h"

#include "AppWindows.h"
#include "BrowserEngine.h"
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
class MainPagesTest : public QObject
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
    void startPortal(const QMap<QString, QString> &settings = {});
    void showMain();
    void logInAutomatically();
    bool loadTestPage(TCppWebBrowser *browser);
    // Runs the event loop as the client does; the exit code, or -1 when nothing ended it.

    std::unique_ptr<ScratchDir> m_dir;
    std::unique_ptr<PortalProcess> m_portal;
    std::unique_ptr<MessageBoxRecorder> m_boxes;
};

void MainPagesTest::initTestCase()
{
    m_dir = std::make_unique<ScratchDir>();
    m_boxes = std::make_unique<MessageBoxRecorder>();
    CreateClientWindows();
    frmLogin->show();
}

void MainPagesTest::cleanupTestCase()
{
    m_portal.reset();
}

void MainPagesTest::cleanup()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
}

void MainPagesTest::startPortal(const QMap<QString, QString> &settings)
{
    if (!m_portal) {
        m_portal = std::make_unique<PortalProcess>();
        QVERIFY2(m_portal->start(), qPrintable(m_portal->errorString()));
    }
    QMap<QString, QString> values{{QStringLiteral("webroot"), m_portal->baseUrl()},
                                  {QStringLiteral("savepass"), QStringLiteral("0")},
                                  {QStringLiteral("aotologin"), QStringLiteral("0")}};
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        values.insert(it.key(), it.value());
    WriteLoginSettings(values);
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
    startPortal({{QStringLiteral("savepass"), QStringLiteral("1")},
                 {QStringLiteral("aotologin"), QStringLiteral("1")},
                 {QStringLiteral("userid"), QStringLiteral("demo")},
                 {QStringLiteral("userpass"), QStringLiteral("demo123")}});
    FreshLoginWindow();
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
    QVERIFY(WaitForPage(frmMain->cppBody, QStringLiteral("page-index02")));
}

bool MainPagesTest::loadTestPage(TCppWebBrowser *browser)
{
    browser->Navigate(m_portal->baseUrl() + QStringLiteral("/login-test/mouse.html"));
    return WaitForBody(browser, QStringLiteral("MOUSE-TEST"));
}

void MainPagesTest::endAreaLoadsWithoutHeight()
{
    startPortal();
    showMain();
    QVERIFY(loadTestPage(frmMain->cppEnd));
    QCOMPARE(frmMain->PanelEnd->height(), 0);
    frmMain->hide();
}

void MainPagesTest::rightPressInPageReachesNoPage()
{
    startPortal();
    showMain();
    QVERIFY(loadTestPage(frmMain->cppBody));
    const QPoint inside = frmMain->cppBody->mapToGlobal(QPoint(300, 200));
    XClick(inside, 3);
    XPointer({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("3")});
    QTest::qWait(500);
    QCOMPARE(ScriptText(frmMain->cppBody, QStringLiteral("seen.join(',')")), QString());
    QVERIFY(!QApplication::activePopupWidget());
    // The left button does reach the page by the same way.
    XClick(inside, 1);
    QTRY_COMPARE(ScriptText(frmMain->cppBody, QStringLiteral("seen.join(',')")), QStringLiteral("down0"));
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
    startPortal();
    CentreOnScreen(frmMain);
    showMain();
    if (PageId(frmMain->cppHead).isEmpty() && BodyOf(frmMain->cppHead).isEmpty())
        QVERIFY(loadTestPage(frmMain->cppHead));
    const QPoint before = frmMain->pos();
    XDrag(frmMain->cppHead->mapToGlobal(QPoint(x, y)), QPoint(60, 40));
    QCOMPARE(frmMain->Labelinfo->text(), QStringLiteral("x:%1,y:%2,width:1004").arg(x).arg(y));
    if (moves)
        QTRY_COMPARE(frmMain->pos(), before + QPoint(60, 40));
    else
        QCOMPARE(frmMain->pos(), before);
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
    BrowserEngine::prepareProcessModel();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    BrowserEngine engine;
    int result = 0;
    {
        MainPagesTest test;
        result = QTest::qExec(&test, argc, argv);
    }
    DestroyAppWindows();
    return result;
}

#include "tst_mainpages.moc"
