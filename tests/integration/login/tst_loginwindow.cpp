#include "EngineTestMain.h"
#include "LoginTestSupport.h"
#include "PortalProcess.h"
#include "WindowTitles.h"
#include "XWindows.h"

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
#include <QRegularExpression>
#include <QStyle>
#include <QTest>

#include <memory>

// The login window itself: its layout, boxes and labels, the framed pop-up it opens, and the
// mouse filter on its own widgets.
class LoginWindowTest : public QObject, protected LoginCaseFixture
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windowLayout();
    void missingCredentialsAreAskedFor_data();
    void missingCredentialsAreAskedFor();
    void labelsToggleTheirBoxes();
    void cancelForgetsCredentials();
    void activationFocusesLoginName();
    void rightPressOpensNoContextMenu();
    void registrationPopupIsReused();
    void enterInPasswordBoxLogsIn();
};

void LoginWindowTest::initTestCase()
{
    createWindows();
}

void LoginWindowTest::init()
{
    beginCase();
}

void LoginWindowTest::cleanup()
{
    endCase();
}

void LoginWindowTest::windowLayout()
{
    TfrmLogin *login = FreshLoginWindow();
    QVERIFY(QTest::qWaitForWindowExposed(login));
    QVERIFY(QRegularExpression(titles::kLogin).match(login->windowTitle()).hasMatch());
    QCOMPARE(login->size(), QSize(637, 390));
    QVERIFY(login->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(login->teUserId->geometry(), QRect(464, 176, 89, 22));
    QCOMPARE(login->teUserPass->geometry(), QRect(464, 201, 89, 22));
    QCOMPARE(login->teUserPass->echoMode(), QLineEdit::Password);
    QCOMPARE(login->teUserPass->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                                   login->teUserPass),
             int('*'));
    QCOMPARE(login->cbLogin->geometry(), QRect(460, 268, 63, 20));
    QCOMPARE(login->cbClose->geometry(), QRect(608, 2, 21, 19));
    QCOMPARE(login->Label3->text(), QStringLiteral("记住密码"));
    QCOMPARE(login->Label5->text(), QStringLiteral("自动登录"));
    QCOMPARE(login->Label4->text(), QStringLiteral("忘记密码"));
    QCOMPARE(login->atOpenMainWindowIe->text(), QStringLiteral("打开主页"));
    for (QWidget *hidden : {static_cast<QWidget *>(login->Edit1), static_cast<QWidget *>(login->web1),
                            static_cast<QWidget *>(login->cppver), static_cast<QWidget *>(login->cppadd)})
        QVERIFY(!hidden->isVisible());
    // Centred on the screen's work area.
    const QRect area = login->screen()->availableGeometry();
    QVERIFY(qAbs(login->frameGeometry().center().x() - area.center().x()) <= 1);
    QVERIFY(qAbs(login->frameGeometry().center().y() - area.center().y()) <= 1);
}

void LoginWindowTest::missingCredentialsAreAskedFor_data()
{
    QTest::addColumn<QString>("userId");
    QTest::addColumn<QString>("userPass");
    QTest::addColumn<QString>("message");
    QTest::newRow("only blanks as name") << "   "
                                         << "demo123"
                                         << "请输入登录名";
    QTest::newRow("both empty") << ""
                                << ""
                                << "请输入登录名";
    QTest::newRow("blank password") << "demo"
                                    << " \t "
                                    << "请输入登录密码";
}

void LoginWindowTest::missingCredentialsAreAskedFor()
{
    QFETCH(QString, userId);
    QFETCH(QString, userPass);
    QFETCH(QString, message);
    if (!startPortal({}))
        return;
    typeAndLogIn(userId, userPass);
    QCOMPARE(m_boxes->texts(), QStringList{message});
    QCOMPARE(m_boxes->requests().first().caption, QStringLiteral("提示信息"));
    QCOMPARE(frmLogin->teUserId->text(), TrimLoginText(userId));
    // A login starts at once when it starts at all.
    QVERIFY(!frmLogin->loginUnderWay());
    QCOMPARE(RequestsFor(m_portal->requestLog(), QStringLiteral("/clilogin/clilogin.jsp")), 0);
}

void LoginWindowTest::labelsToggleTheirBoxes()
{
    TfrmLogin *login = FreshLoginWindow();
    QVERIFY(QTest::qWaitForWindowExposed(login));
    QVERIFY(!login->cbxSavePass->isChecked());
    QTest::mouseClick(login->Label3, Qt::LeftButton);
    QVERIFY(login->cbxSavePass->isChecked());
    QVERIFY(!login->cbxAutoLogin->isChecked());
    QTest::mouseClick(login->Label3, Qt::LeftButton);
    QVERIFY(!login->cbxSavePass->isChecked());
    QTest::mouseClick(login->Label5, Qt::LeftButton);
    QVERIFY(login->cbxAutoLogin->isChecked());
    QVERIFY(!login->cbxSavePass->isChecked());
}

void LoginWindowTest::cancelForgetsCredentials()
{
    if (!startPortal({}, QString(),
                     {{QStringLiteral("savepass"), QStringLiteral("1")},
                      {QStringLiteral("userid"), QStringLiteral("demo")},
                      {QStringLiteral("userpass"), QStringLiteral("demo123")}}))
        return;
    TfrmLogin *login = FreshLoginWindow();
    QTest::mouseClick(login->cbCancel, Qt::LeftButton);
    QCOMPARE(login->teUserId->text(), QString());
    QCOMPARE(login->teUserPass->text(), QString());
    QVERIFY(login->isVisible());
    QCOMPARE(StoredSetting(QStringLiteral("userid")), QString());
    QCOMPARE(StoredSetting(QStringLiteral("userpass")), QString());
    QCOMPARE(StoredSetting(QStringLiteral("savepass")), QStringLiteral("1"));
}

void LoginWindowTest::activationFocusesLoginName()
{
    TfrmLogin *login = FreshLoginWindow();
    login->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(login));
    login->teUserPass->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), login->teUserPass);
    // Away and back: the name box has the focus again, not the box that had it.
    frmMain->show();
    frmMain->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frmMain));
    frmMain->hide();
    login->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(login));
    QTRY_COMPARE(QApplication::focusWidget(), login->teUserId);
}

void LoginWindowTest::rightPressOpensNoContextMenu()
{
    TfrmLogin *login = FreshLoginWindow();
    QVERIFY(QTest::qWaitForWindowExposed(login));
    login->teUserId->setText(QStringLiteral("demo"));
    const PointerWatch pointer;
    // An edit box has a menu of its own on a right click; the filter keeps the press from it.
    QVERIFY(xwindows::clickAt(login->teUserId->mapToGlobal(QPoint(20, 10)), 3));
    // The same path with the left button still reaches the box, after the right click has been
    // dealt with: input comes in order.
    QVERIFY(xwindows::clickAt(login->teUserPass->mapToGlobal(QPoint(20, 10)), 1));
    QTRY_COMPARE(QApplication::focusWidget(), login->teUserPass);
    QCOMPARE(pointer.presses(Qt::RightButton), 1);
    QCOMPARE(pointer.popupsShown(), 0);
    QVERIFY(!QApplication::activePopupWidget());
}

void LoginWindowTest::registrationPopupIsReused()
{
    if (!startPortal({}))
        return;
    TfrmLogin *login = FreshLoginWindow();
    const int windowsBefore = AppWindows().size();
    QTest::mouseClick(login->cbReg, Qt::LeftButton);
    QPointer<QWidget> first = LastAppWindowOfClass("TfrmIEOne");
    QVERIFY(first);
    QTRY_VERIFY(first->isVisible());
    QTest::mouseClick(login->cbReg, Qt::LeftButton);
    QCOMPARE(LastAppWindowOfClass("TfrmIEOne"), first.data());
    QCOMPARE(AppWindows().size(), windowsBefore);
    const QRect area = first->screen()->availableGeometry();
    QVERIFY(qAbs(first->frameGeometry().center().x() - area.center().x()) <= 1);

    auto *popup = qobject_cast<TfrmIEOne *>(first.data());
    TCppWebBrowser *ie1 = PopupBrowser(popup);
    QVERIFY2(ie1, "the framed pop-up has no browser");
    QTRY_VERIFY_WITH_TIMEOUT(ie1->LocationURL().endsWith(QStringLiteral("/clilogin/reg.jsp")), 20000);
    QVERIFY(ie1->RegisterAsBrowser());
    QCOMPARE(PopupTitleLabel(popup)->text(), QStringLiteral("用户注册"));
    QTest::mouseClick(login->Label4, Qt::LeftButton);
    QCOMPARE(LastAppWindowOfClass("TfrmIEOne"), first.data());
    QTRY_VERIFY_WITH_TIMEOUT(ie1->LocationURL().endsWith(QStringLiteral("/clilogin/getpass.jsp")), 20000);
    QCOMPARE(PopupTitleLabel(popup)->text(), QStringLiteral("忘记密码"));
    first->hide();
}

void LoginWindowTest::enterInPasswordBoxLogsIn()
{
    if (!startPortal({}))
        return;
    TfrmLogin *login = FreshLoginWindow();
    login->teUserId->setText(QStringLiteral("nobody"));
    login->teUserPass->setText(QStringLiteral("wrong"));
    QTest::keyClick(login->teUserPass, Qt::Key_Return);
    QTRY_COMPARE(RequestsFor(m_portal->requestLog(), QStringLiteral("/clilogin/clilogin.jsp")), 1);
    QTRY_COMPARE(m_boxes->texts().size(), 1);
}

int main(int argc, char *argv[])
{
    return RunEngineTest<LoginWindowTest>(argc, argv, DestroyAppWindows);
}

#include "tst_loginwindow.moc"
