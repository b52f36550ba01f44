#include "EngineTestMain.h"
#include "LoginTestSupport.h"
#include "PageDriver.h"
#include "PortalProcess.h"

#include "AppWindows.h"
#include "BrowserWait.h"
#include "ClientStartup.h"
#include "CppWebBrowser.h"
#include "client/login/Flogin.h"
#include "client/login/LoginDecisions.h"
#include "client/login/PopupParts.h"
#include "client/mainwindow/Main.h"
#include "client/popups/Unit_ieone.h"
#include "client/widgets/PictureBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

// Logging in against the real portal: typed, remembered and automatic logins, the service's
// answers and failures, the settings stored afterwards.
class LoginExchangeTest : public QObject, protected LoginCaseFixture
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void typedLoginEntersMainWindowWithSession();
    void refusalShowsTheServicesMessage();
    void failuresShowTheFixedMessage_data();
    void failuresShowTheFixedMessage();
    void lateBodyTextIsDropped();
    void passwordWithDelimitersAndChineseLogsIn();
    void rememberedAndAutomaticLogin();
    void rememberedWithoutAutomaticWaitsForTheUser();
    void automaticWithoutPasswordOnlyTicksTheBox();
    void rememberOnlyKeepsStoredAutomaticLogin();
    void notRememberedForgetsPasswordAndAutomaticLogin();
    void secondLoginLoadsNoVersionPage();
};

void LoginExchangeTest::initTestCase()
{
    createWindows();
}

void LoginExchangeTest::init()
{
    beginCase();
}

void LoginExchangeTest::cleanup()
{
    endCase();
}

void LoginExchangeTest::typedLoginEntersMainWindowWithSession()
{
    if (!startPortal({QStringLiteral("--user"), QStringLiteral("demo:demo123:行情终端:用户甲")}))
        return;
    typeAndLogIn(QStringLiteral("  demo\t"), QStringLiteral(" demo123 "));
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
    QVERIFY(!frmLogin->isVisible());
    QVERIFY2(m_boxes->requests().isEmpty(), qPrintable(m_boxes->texts().join('|')));
    QCOMPARE(frmLogin->teUserId->text(), QStringLiteral("demo"));
    QCOMPARE(frmMain->windowTitle(), QStringLiteral("行情终端"));
    QCOMPARE(frmMain->LabelMainTitle->text(), QStringLiteral("行情终端"));
    QCOMPARE(frmMain->LabelMainUserInfo->text(), QStringLiteral("用户甲"));
    QVERIFY(frmLogin->Edit1->text().endsWith(QStringLiteral("&userid=demo&userpass=demo123&userrole=000")));

    // The session cookie of the hidden login browser is the one the page areas send.
    const QList<QPair<TCppWebBrowser *, QString>> areas{{frmMain->cppHead, QStringLiteral("page-index01")},
                                                        {frmMain->cppBody, QStringLiteral("page-index02")},
                                                        {frmMain->cppEnd, QStringLiteral("page-index03")}};
    for (const auto &area : areas) {
        QVERIFY2(WaitForPage(area.first, area.second), qPrintable(PageId(area.first)));
        QVERIFY(!BodyTextOf(area.first).contains(QStringLiteral("NOT-LOGGED-IN")));
    }
    const QStringList log = m_portal->requestLog();
    QCOMPARE(RequestsFor(log, QStringLiteral("/clilogin/clilogin.jsp")), 1);
    QCOMPARE(RequestsFor(log, QStringLiteral("/clilogin/ver.html")), 1);

    QCOMPARE(StoredSetting(QStringLiteral("userid")), QStringLiteral("demo"));
    QCOMPARE(StoredSetting(QStringLiteral("userpass")), QString());
    QCOMPARE(StoredSetting(QStringLiteral("savepass")), QStringLiteral("0"));
    QCOMPARE(StoredSetting(QStringLiteral("aotologin")), QStringLiteral("0"));
}

void LoginExchangeTest::refusalShowsTheServicesMessage()
{
    if (!startPortal({}))
        return;
    typeAndLogIn(QStringLiteral("demo"), QStringLiteral("wrong"));
    QTRY_COMPARE_WITH_TIMEOUT(m_boxes->requests().size(), 1, 20000);
    const MessageBoxRequest box = m_boxes->requests().first();
    QCOMPARE(box.text, QStringLiteral("用户名或密码错误"));
    QCOMPARE(box.caption, QStringLiteral("登录失败1"));
    QCOMPARE(box.buttons, BoxButtons::Ok);
    QCOMPARE(box.icon, BoxIcon::None);
    QVERIFY(frmLogin->isVisible());
    QVERIFY(!frmMain->isVisible());
    QCOMPARE(frmLogin->teUserPass->text(), QStringLiteral("wrong"));
    QCOMPARE(StoredSetting(QStringLiteral("userid")), QString());
    QCOMPARE(RequestsFor(m_portal->requestLog(), QStringLiteral("/clilogin/ver.html")), 0);
}

void LoginExchangeTest::failuresShowTheFixedMessage_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("webRootSuffix");
    QTest::addColumn<int>("waitLimitMs");
    QTest::newRow("three fields") << QString() << QStringLiteral("/login-test/three") << 30000;
    QTest::newRow("malformed") << QStringLiteral("malformed") << QString() << 30000;
    QTest::newRow("empty") << QStringLiteral("empty") << QString() << 30000;
    QTest::newRow("status 500") << QStringLiteral("status:500") << QString() << 30000;
    QTest::newRow("html page") << QStringLiteral("html200") << QString() << 30000;
    QTest::newRow("connection reset") << QStringLiteral("reset") << QString() << 30000;
    QTest::newRow("hanging service") << QStringLiteral("hang") << QString() << 1500;
}

void LoginExchangeTest::failuresShowTheFixedMessage()
{
    QFETCH(QString, fault);
    QFETCH(QString, webRootSuffix);
    QFETCH(int, waitLimitMs);
    QStringList arguments;
    if (!fault.isEmpty())
        arguments << QStringLiteral("--fault") << QStringLiteral("/clilogin/clilogin.jsp=") + fault;
    if (!startPortal(arguments, webRootSuffix))
        return;
    SetBrowserWaitLimitMs(waitLimitMs);

    TfrmLogin *login = FreshLoginWindow();
    login->teUserId->setText(QStringLiteral("demo"));
    login->teUserPass->setText(QStringLiteral("demo123"));
    // A second press while the first login waits is ignored.
    const auto secondPressDone = std::make_shared<bool>(fault != QLatin1String("hang"));
    if (!*secondPressDone)
        QTimer::singleShot(300, login, [login, secondPressDone] {
            QTest::mouseClick(login->cbLogin, Qt::LeftButton);
            *secondPressDone = true;
        });
    QTest::mouseClick(login->cbLogin, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(m_boxes->requests().size(), 1, 20000);
    // Ended, with nothing started after the message: a second press taken up would still be waiting.
    QTRY_VERIFY(*secondPressDone);
    QVERIFY(!login->loginUnderWay());
    QCOMPARE(m_boxes->texts(), QStringList{LoginFailedMessage()});
    QCOMPARE(m_boxes->requests().first().caption, QStringLiteral("登录失败1"));
    QVERIFY(!frmMain->isVisible());
    QVERIFY(login->isVisible());
    QVERIFY(!login->loginUnderWay());
    QCOMPARE(StoredSetting(QStringLiteral("userid")), QString());
    const QStringList log = m_portal->requestLog();
    const QString loginPath = webRootSuffix + QStringLiteral("/clilogin/clilogin.jsp");
    QCOMPARE(RequestsFor(log, loginPath), 1);
    QCOMPARE(RequestsFor(log, QStringLiteral("/clilogin/ver.html")), 0);
}

// The answer page is busy when its text is asked for: the login gives up, and the engine's answer,
// which comes seconds later, must land nowhere (the sanitized build checks for stack use after return).
void LoginExchangeTest::lateBodyTextIsDropped()
{
    if (!startPortal({}, QStringLiteral("/login-test/slow")))
        return;
    SetBrowserWaitLimitMs(1500);
    TfrmLogin *login = FreshLoginWindow();
    login->teUserId->setText(QStringLiteral("demo"));
    login->teUserPass->setText(QStringLiteral("demo123"));
    QTest::mouseClick(login->cbLogin, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(m_boxes->texts(), QStringList{LoginFailedMessage()}, 20000);

    // Scripts are answered in order: once a later one is, the late answer has come and gone.
    SetBrowserWaitLimitMs(30000);
    QVariant later;
    QVERIFY(login->web1->runScriptAndWait(QStringLiteral("6 * 7"), &later));
    QCOMPARE(later.toInt(), 42);
    QVERIFY(!login->loginUnderWay());
}

void LoginExchangeTest::passwordWithDelimitersAndChineseLogsIn()
{
    const QString password = QStringLiteral("a&b#c+d e中文%2B");
    if (!startPortal({QStringLiteral("--user"),
                      QStringLiteral("王五:") + password + QStringLiteral(":符号终端:王五信息")}))
        return;
    typeAndLogIn(QStringLiteral("王五"), password);
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
    QVERIFY2(m_boxes->requests().isEmpty(), qPrintable(m_boxes->texts().join('|')));
    QCOMPARE(frmMain->windowTitle(), QStringLiteral("符号终端"));
    QCOMPARE(frmMain->LabelMainUserInfo->text(), QStringLiteral("王五信息"));
    QVERIFY(WaitForPage(frmMain->cppBody, QStringLiteral("page-index02")));
}

void LoginExchangeTest::rememberedAndAutomaticLogin()
{
    if (!startPortal({QStringLiteral("--user"), QStringLiteral("demo:demo123:自动终端:自动信息")}, QString(),
                     {{QStringLiteral("savepass"), QStringLiteral("1")},
                      {QStringLiteral("aotologin"), QStringLiteral("1")},
                      {QStringLiteral("userid"), QStringLiteral("demo")},
                      {QStringLiteral("userpass"), QStringLiteral("demo123")}}))
        return;
    TfrmLogin *login = FreshLoginWindow();
    QCOMPARE(login->teUserId->text(), QStringLiteral("demo"));
    QCOMPARE(login->teUserPass->text(), QStringLiteral("demo123"));
    QVERIFY(login->cbxSavePass->isChecked());
    QVERIFY(login->cbxAutoLogin->isChecked());
    // No user action from here on.
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
    QVERIFY(!login->isVisible());
    QCOMPARE(frmMain->windowTitle(), QStringLiteral("自动终端"));
    QVERIFY(WaitForPage(frmMain->cppHead, QStringLiteral("page-index01")));
    QCOMPARE(StoredSetting(QStringLiteral("aotologin")), QStringLiteral("1"));
    QCOMPARE(StoredSetting(QStringLiteral("userpass")), QStringLiteral("demo123"));
}

void LoginExchangeTest::rememberedWithoutAutomaticWaitsForTheUser()
{
    if (!startPortal({}, QString(),
                     {{QStringLiteral("savepass"), QStringLiteral("1")},
                      {QStringLiteral("userid"), QStringLiteral("demo")},
                      {QStringLiteral("userpass"), QStringLiteral("demo123")}}))
        return;
    TfrmLogin *login = FreshLoginWindow();
    QCOMPARE(login->teUserPass->text(), QStringLiteral("demo123"));
    QVERIFY(login->cbxSavePass->isChecked());
    QVERIFY(!login->cbxAutoLogin->isChecked());
    // An automatic login starts by the first paint at the latest.
    QVERIFY(WaitForPaint(login));
    QVERIFY(!login->loginUnderWay());
    QVERIFY(!frmMain->isVisible());
    QCOMPARE(RequestsFor(m_portal->requestLog(), QStringLiteral("/clilogin/clilogin.jsp")), 0);
}

void LoginExchangeTest::automaticWithoutPasswordOnlyTicksTheBox()
{
    // A password is only filled in when it is remembered.
    if (!startPortal({}, QString(),
                     {{QStringLiteral("savepass"), QStringLiteral("yes")},
                      {QStringLiteral("aotologin"), QStringLiteral("1")},
                      {QStringLiteral("userid"), QStringLiteral("demo")},
                      {QStringLiteral("userpass"), QStringLiteral("demo123")}}))
        return;
    TfrmLogin *login = FreshLoginWindow();
    QCOMPARE(login->teUserId->text(), QStringLiteral("demo"));
    QCOMPARE(login->teUserPass->text(), QString());
    QVERIFY(!login->cbxSavePass->isChecked());
    QVERIFY(login->cbxAutoLogin->isChecked());
    // An automatic login starts by the first paint at the latest.
    QVERIFY(WaitForPaint(login));
    QVERIFY(!login->loginUnderWay());
    QVERIFY(!frmMain->isVisible());
    QCOMPARE(RequestsFor(m_portal->requestLog(), QStringLiteral("/clilogin/clilogin.jsp")), 0);
}

void LoginExchangeTest::rememberOnlyKeepsStoredAutomaticLogin()
{
    if (!startPortal({}, QString(),
                     {{QStringLiteral("savepass"), QStringLiteral("1")},
                      {QStringLiteral("aotologin"), QStringLiteral("1")},
                      {QStringLiteral("userid"), QStringLiteral("demo")}}))
        return;
    TfrmLogin *login = FreshLoginWindow();
    QVERIFY(login->cbxAutoLogin->isChecked());
    QTest::mouseClick(login->Label5, Qt::LeftButton);
    QVERIFY(!login->cbxAutoLogin->isChecked());
    login->teUserPass->setText(QStringLiteral("demo123"));
    QTest::mouseClick(login->cbLogin, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
    QCOMPARE(StoredSetting(QStringLiteral("savepass")), QStringLiteral("1"));
    QCOMPARE(StoredSetting(QStringLiteral("userpass")), QStringLiteral("demo123"));
    // The box was cleared, but only remembering was asked for: the next start logs in by itself.
    QCOMPARE(StoredSetting(QStringLiteral("aotologin")), QStringLiteral("1"));
}

void LoginExchangeTest::notRememberedForgetsPasswordAndAutomaticLogin()
{
    if (!startPortal({}, QString(),
                     {{QStringLiteral("savepass"), QStringLiteral("1")},
                      {QStringLiteral("aotologin"), QStringLiteral("1")},
                      {QStringLiteral("userid"), QStringLiteral("demo")}}))
        return;
    TfrmLogin *login = FreshLoginWindow();
    QTest::mouseClick(login->Label3, Qt::LeftButton);
    QVERIFY(!login->cbxSavePass->isChecked());
    login->teUserPass->setText(QStringLiteral("demo123"));
    QTest::mouseClick(login->cbLogin, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
    QCOMPARE(StoredSetting(QStringLiteral("savepass")), QStringLiteral("0"));
    QCOMPARE(StoredSetting(QStringLiteral("userpass")), QString());
    QCOMPARE(StoredSetting(QStringLiteral("aotologin")), QStringLiteral("0"));
}

void LoginExchangeTest::secondLoginLoadsNoVersionPage()
{
    if (!startPortal({}))
        return;
    typeAndLogIn(QStringLiteral("demo"), QStringLiteral("demo123"));
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
    frmMain->hide();
    frmLogin->show();
    QTest::mouseClick(frmLogin->cbLogin, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
    const QStringList log = m_portal->requestLog();
    QCOMPARE(RequestsFor(log, QStringLiteral("/clilogin/clilogin.jsp")), 2);
    QCOMPARE(RequestsFor(log, QStringLiteral("/clilogin/ver.html")), 1);
}

int main(int argc, char *argv[])
{
    return RunEngineTest<LoginExchangeTest>(argc, argv, DestroyAppWindows);
}

#include "tst_loginexchange.moc"
