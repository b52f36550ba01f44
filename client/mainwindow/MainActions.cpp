// The main window's actions, its two menus and the tray icon.
#include "Main.h"

#include "client/widgets/PictureBox.h"

#include "AppWindows.h"
#include "BrowserWait.h"
#include "CppWebBrowser.h"
#include "LoginSettings.h"
#include "buildconfig.h"
#include "client/login/Flogin.h"
#include "platform/systembrowser.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

QAction *makeAction(QObject *owner, const QString &name, const QString &caption)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(name);
    return action;
}

} // namespace

void TfrmMain::buildActions()
{
    atClose = makeAction(this, QStringLiteral("atClose"), QStringLiteral("关闭"));
    atMax = makeAction(this, QStringLiteral("atMax"), QStringLiteral("最大化"));
    atMin = makeAction(this, QStringLiteral("atMin"), QStringLiteral("最小化"));
    atRstore = makeAction(this, QStringLiteral("atRstore"), QStringLiteral("打开系统"));
    atQuit = makeAction(this, QStringLiteral("atQuit"), QStringLiteral("退出系统"));
    atrefreshHome = makeAction(this, QStringLiteral("atrefreshHome"), QStringLiteral("主页"));
    atDeleteCookie = makeAction(this, QStringLiteral("atDeleteCookie"), QStringLiteral("删除当前缓存信息"));
    atRefesh3Page = makeAction(this, QStringLiteral("atRefesh3Page"), QStringLiteral("刷新"));

    connect(atClose, &QAction::triggered, this, &TfrmMain::atCloseExecute);
    connect(atMax, &QAction::triggered, this, &TfrmMain::atMaxExecute);
    connect(atMin, &QAction::triggered, this, &TfrmMain::atMinExecute);
    connect(atRstore, &QAction::triggered, this, &TfrmMain::atRstoreExecute);
    connect(atQuit, &QAction::triggered, this, &TfrmMain::atQuitExecute);
    connect(atrefreshHome, &QAction::triggered, this, &TfrmMain::atrefreshHomeExecute);
    connect(atDeleteCookie, &QAction::triggered, this, &TfrmMain::atDeleteCookieExecute);
    connect(atRefesh3Page, &QAction::triggered, this, &TfrmMain::atRefesh3PageExecute);
}

void TfrmMain::buildMenus()
{
    MenuPop = new QMenu(this);
    MenuPop->setObjectName(QStringLiteral("MenuPop"));
    // An empty first line that does nothing.
    MenuPop->addAction(QString());
    N4 = MenuPop->addAction(atrefreshHome->text());
    N4->setObjectName(QStringLiteral("N4"));
    connect(N4, &QAction::triggered, atrefreshHome, &QAction::trigger);
    N6 = MenuPop->addAction(atRefesh3Page->text());
    N6->setObjectName(QStringLiteral("N6"));
    connect(N6, &QAction::triggered, atRefesh3Page, &QAction::trigger);
    MenuPop->addSeparator()->setObjectName(QStringLiteral("N5"));
    MenuItem1 = MenuPop->addAction(QStringLiteral("网站主页"));
    MenuItem1->setObjectName(QStringLiteral("MenuItem1"));
    connect(MenuItem1, &QAction::triggered, this, &TfrmMain::MenuItem1Click);
    MenuItem2 = MenuPop->addAction(QStringLiteral("取消登录信息"));
    MenuItem2->setObjectName(QStringLiteral("MenuItem2"));
    connect(MenuItem2, &QAction::triggered, this, &TfrmMain::MenuItem2Click);
    MenuItem3 = MenuPop->addAction(atDeleteCookie->text());
    MenuItem3->setObjectName(QStringLiteral("MenuItem3"));
    connect(MenuItem3, &QAction::triggered, atDeleteCookie, &QAction::trigger);

    // A pop-up of its own: it opens from the tray while this window is hidden.
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    N1 = PopupMenu->addAction(atRstore->text());
    N1->setObjectName(QStringLiteral("N1"));
    connect(N1, &QAction::triggered, atRstore, &QAction::trigger);
    PopupMenu->addSeparator()->setObjectName(QStringLiteral("N2"));
    N3 = PopupMenu->addAction(atQuit->text());
    N3->setObjectName(QStringLiteral("N3"));
    connect(N3, &QAction::triggered, atQuit, &QAction::trigger);
}

void TfrmMain::buildTrayIcon()
{
    TrayIcon = new QSystemTrayIcon(windowIcon(), this);
    TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
    TrayIcon->setToolTip(QString::fromUtf8(kApplicationTitle));
    TrayIcon->setContextMenu(PopupMenu);
    connect(TrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            TrayIconClick();
    });
    connect(TrayIcon, &QSystemTrayIcon::messageClicked, this, &TfrmMain::TrayIconBalloonClick);
    m_trayWatch = new QTimer(this);
    m_trayWatch->setInterval(2000);
    connect(m_trayWatch, &QTimer::timeout, this, &TfrmMain::watchTray);
    // Shown from creation, before any login, until the client ends.
    TrayIcon->show();
}

void TfrmMain::atCloseExecute()
{
    if (FRunState == 2) {
        QCoreApplication::quit();
        return;
    }
    putAway();
}

void TfrmMain::atMaxExecute()
{
    // The window keeps its size: there is no maximised state.
}

void TfrmMain::atMinExecute()
{
    putAway();
}

void TfrmMain::putAway()
{
    // Hidden without a tray, the window could only be reached by killing the client: it goes to
    // the task bar instead, which brings it back.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        showMinimized();
        return;
    }
    hide();
    m_trayWatch->start();
}

void TfrmMain::watchTray()
{
    if (isVisible() || FRunState == 2) {
        m_trayWatch->stop();
        return;
    }
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        m_trayWatch->stop();
        showMinimized();
    }
}

void TfrmMain::atRstoreExecute()
{
    if (FRunState < 1)
        return;
    const QPointer<TfrmMain> self(this);
    m_trayWatch->stop();
    // Out of the tray or off the task bar alike.
    showNormal();
    raise();
    activateWindow();
    PumpEvents();
    if (self && isVisible())
        setFocus();
}

void TfrmMain::atQuitExecute()
{
    FRunState = 2;
    atClose->trigger();
}

void TfrmMain::atrefreshHomeExecute()
{
    if (frmLogin)
        frmLogin->atOpenMainWindowIe->trigger();
}

void TfrmMain::atDeleteCookieExecute()
{
    if (frmLogin)
        frmLogin->NavigatePortal(frmLogin->cppadd, QStringLiteral("/clilogin/deletecook.jsp"));
}

void TfrmMain::atRefesh3PageExecute()
{
    const QPointer<TfrmMain> self(this);
    for (TCppWebBrowser *browser : {cppHead, cppBody, cppEnd}) {
        // A browser that stays busy past the limit drops the rest of the command.
        if (!WaitWhileBusy(browser) || !self)
            return;
        browser->Refresh2(3);
    }
}

void TfrmMain::BitBtn1Click()
{
    atClose->trigger();
}

void TfrmMain::BitBtn2Click()
{
    atMin->trigger();
}

void TfrmMain::BitBtn3Click()
{
    // Measured from the screen's left edge, not the window's: the window's width less 20.
    MenuPop->popup(QPoint(width() - 20, y() + 20));
}

void TfrmMain::Image4Click()
{
    if (frmLogin)
        frmLogin->atOpenMySpace->trigger();
}

void TfrmMain::MenuItem1Click()
{
    platform::OpenInSystemBrowser(QStringLiteral(SORVANE_PORTAL_HOME));
}

void TfrmMain::MenuItem2Click()
{
    // Only the file forgets: the running session and the login window's fields stay.
    ClearLoginInformation();
}

void TfrmMain::TrayIconClick()
{
    if (FRunState > 0)
        atRstore->trigger();
}

void TfrmMain::TrayIconBalloonClick()
{
    // The client never raises the balloon.
}
