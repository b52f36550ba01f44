#include "EngineTestMain.h"
#include "LoginTestSupport.h"
#include "MessageBoxes.h"
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
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyleHints>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

// The main window shell: its geometry, title bar, actions, menus and tray icon, and how the
// client ends. Pointer input goes through the X server, as a user's would.
class MainWindowTest : public QObject, protected LoginCaseFixture
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void nothingOfTheEngineBeforeLogin();
    void geometryAndPanels();
    void actionsAndMenus();
    void menuButtonOpensMenuPop();
    void closeAndMinimiseHide();
    void trayClickRestoresOnlyAfterActivation();
    void titleBarDragsWithTheLeftButtonOnly();
    void trayQuitWhileABoxIsOpen();
    void trayQuitEndsEvenBeforeLogin();
    void systemCloseEndsTheProgram();

private:
    void showMain();
    // Runs the event loop as the client does; the exit code, or -1 when nothing ended it.
    int runUntilQuit(const std::function<void()> &trigger);
};

void MainWindowTest::initTestCase()
{
    // One client for the class, as a user's run has: the cases go on from each other's state.
    beginCase();
    if (QTest::currentTestFailed())
        return;
    CreateClientWindows();
    frmLogin->show();
}

void MainWindowTest::cleanupTestCase()
{
    endCase();
}

void MainWindowTest::cleanup()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
}

void MainWindowTest::showMain()
{
    frmMain->show();
    frmMain->raise();
    frmMain->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frmMain));
}

int MainWindowTest::runUntilQuit(const std::function<void()> &trigger)
{
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    watchdog.start(15000);
    QTimer::singleShot(0, trigger);
    return QApplication::exec();
}

void MainWindowTest::nothingOfTheEngineBeforeLogin()
{
    QVERIFY(QTest::qWaitForWindowExposed(frmLogin));
    // What the login window starts on the screen (the engine, at its first paint) has started.
    QVERIFY(WaitForPaint(frmLogin));
    // The login window is on the screen, and no browser has made an engine page yet.
    for (TCppWebBrowser *browser : {frmLogin->web1, frmLogin->cppver, frmLogin->cppadd, frmMain->cppHead,
                                    frmMain->cppBody, frmMain->cppEnd})
        QVERIFY2(!browser->hasPage(), qPrintable(browser->objectName()));
    QVERIFY(!frmMain->isVisible());
    QCOMPARE(frmMain->FRunState, 0);
    QVERIFY(frmMain->TrayIcon->isVisible());
}

void MainWindowTest::geometryAndPanels()
{
    QCOMPARE(frmMain->windowTitle(), QStringLiteral("登录"));
    QVERIFY(frmMain->windowFlags() & Qt::FramelessWindowHint);
    showMain();
    QCOMPARE(frmMain->size(), QSize(1004, 668));
    const QRect area = frmMain->screen()->availableGeometry();
    QVERIFY(qAbs(frmMain->frameGeometry().center().x() - area.center().x()) <= 1);

    QCOMPARE(frmMain->Panelmenu->geometry(), QRect(0, 0, 1004, 28));
    QCOMPARE(frmMain->PanelHead->geometry(), QRect(0, 28, 1004, 73));
    QCOMPARE(frmMain->PanelBody->geometry(), QRect(0, 101, 1004, 567));
    QCOMPARE(frmMain->PanelEnd->height(), 0);
    QCOMPARE(frmMain->PanelTest->height(), 0);
    QCOMPARE(frmMain->cppHead->geometry(), frmMain->PanelHead->rect());
    QCOMPARE(frmMain->cppBody->geometry(), frmMain->PanelBody->rect());

    QCOMPARE(frmMain->Image2->geometry(), QRect(1, 1, 928, 26));
    QCOMPARE(frmMain->Image1->geometry(), QRect(929, 1, 74, 26));
    QCOMPARE(frmMain->LabelMainTitle->geometry(), QRect(25, 6, 256, 13));
    QCOMPARE(frmMain->LabelMainUserInfo->geometry(), QRect(401, 6, 216, 13));
    QCOMPARE(frmMain->Image4->geometry(), QRect(628, 5, 67, 19));
    QCOMPARE(frmMain->BitBtn3->geometry(), QRect(833, 7, 22, 13));
    QCOMPARE(frmMain->BitBtn2->geometry(), QRect(859, 7, 22, 13));
    QCOMPARE(frmMain->BitBtn1->geometry(), QRect(885, 7, 22, 13));
    QVERIFY(frmMain->cppHead->hasHostLook());
    QVERIFY(frmMain->cppBody->Silent());
    QVERIFY(frmMain->cppEnd->Silent());
    // Activation sets the run state, whatever it was.
    QCOMPARE(frmMain->FRunState, 1);
    frmMain->hide();
}

void MainWindowTest::actionsAndMenus()
{
    const QList<QPair<QAction *, QString>> captions{
        {frmMain->atClose, QStringLiteral("关闭")},
        {frmMain->atMax, QStringLiteral("最大化")},
        {frmMain->atMin, QStringLiteral("最小化")},
        {frmMain->atRstore, QStringLiteral("打开系统")},
        {frmMain->atQuit, QStringLiteral("退出系统")},
        {frmMain->atrefreshHome, QStringLiteral("主页")},
        {frmMain->atDeleteCookie, QStringLiteral("删除当前缓存信息")},
        {frmMain->atRefesh3Page, QStringLiteral("刷新")}};
    for (const auto &caption : captions)
        QCOMPARE(caption.first->text(), caption.second);

    QStringList menu;
    for (QAction *entry : frmMain->MenuPop->actions())
        menu << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
    QCOMPARE(menu, QStringList({QString(), QStringLiteral("主页"), QStringLiteral("刷新"),
                                QStringLiteral("-"), QStringLiteral("网站主页"),
                                QStringLiteral("取消登录信息"), QStringLiteral("删除当前缓存信息")}));
    QStringList tray;
    for (QAction *entry : frmMain->PopupMenu->actions())
        tray << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
    QCOMPARE(tray,
             QStringList({QStringLiteral("打开系统"), QStringLiteral("-"), QStringLiteral("退出系统")}));
    QCOMPARE(frmMain->TrayIcon->toolTip(), QStringLiteral("Sorvane金融终端"));
    QCOMPARE(frmMain->TrayIcon->contextMenu(), frmMain->PopupMenu);

    // The empty first entry and the maximise action change nothing.
    showMain();
    const QRect before = frmMain->geometry();
    frmMain->MenuPop->actions().first()->trigger();
    frmMain->atMax->trigger();
    QVERIFY(frmMain->isVisible());
    QCOMPARE(frmMain->geometry(), before);
    frmMain->hide();
}

void MainWindowTest::menuButtonOpensMenuPop()
{
    showMain();
    QTest::mouseClick(frmMain->BitBtn3, Qt::LeftButton);
    QTRY_VERIFY(frmMain->MenuPop->isVisible());
    QCOMPARE(frmMain->MenuPop->pos(), QPoint(frmMain->width() - 20, frmMain->y() + 20));
    frmMain->MenuPop->hide();
    frmMain->hide();
}

void MainWindowTest::closeAndMinimiseHide()
{
    showMain();
    QTest::mouseClick(frmMain->BitBtn1, Qt::LeftButton);
    QTRY_VERIFY(!frmMain->isVisible());
    QVERIFY(frmMain->TrayIcon->isVisible());
    frmMain->atRstore->trigger();
    QTRY_VERIFY(frmMain->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(frmMain));
    QTest::mouseClick(frmMain->BitBtn2, Qt::LeftButton);
    QTRY_VERIFY(!frmMain->isVisible());
    QVERIFY(frmMain->windowState() == Qt::WindowNoState);
    // The tray menu's first entry brings it back.
    frmMain->N1->trigger();
    QTRY_VERIFY(frmMain->isVisible());
    frmMain->hide();
}

void MainWindowTest::trayClickRestoresOnlyAfterActivation()
{
    // The test display always has a tray host: none would be a broken harness.
    QVERIFY(QSystemTrayIcon::isSystemTrayAvailable());
    QTRY_VERIFY(frmMain->TrayIcon->geometry().isValid());
    const QPoint icon = frmMain->TrayIcon->geometry().center();
    QSignalSpy clicks(frmMain->TrayIcon, &QSystemTrayIcon::activated);

    // Not yet activated in this run, as before the first login. A late activation of the hidden
    // window from the earlier tests must not count.
    frmMain->hide();
    frmMain->FRunState = 0;
    QVERIFY(xwindows::clickAt(icon, 1));
    QElapsedTimer sinceFirstClick;
    sinceFirstClick.start();
    QTRY_COMPARE(clicks.size(), 1);
    QCOMPARE(clicks.first().first().value<QSystemTrayIcon::ActivationReason>(), QSystemTrayIcon::Trigger);
    QVERIFY(!frmMain->isVisible());
    frmMain->atRstore->trigger();
    QVERIFY(!frmMain->isVisible());

    // From another window, so the main window's activation is a real change.
    frmLogin->show();
    frmLogin->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frmLogin));
    showMain();
    QTRY_COMPARE(frmMain->FRunState, 1);
    frmMain->atClose->trigger();
    QVERIFY(!frmMain->isVisible());
    // A user's pause: two clicks closer together than this are one double click, not two clicks.
    const int doubleClickMs = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    if (sinceFirstClick.elapsed() <= doubleClickMs)
        QTest::qWait(int(doubleClickMs - sinceFirstClick.elapsed()) + 50); // the user's pause
    QVERIFY(xwindows::clickAt(icon, 1));
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 5000);
    frmMain->hide();
}

void MainWindowTest::titleBarDragsWithTheLeftButtonOnly()
{
    CentreOnScreen(frmMain);
    showMain();
    QVERIFY(WaitForPlacement(frmMain));
    const QPoint before = frmMain->pos();
    const QPoint grip = frmMain->Image2->mapToGlobal(QPoint(320, 12));
    PointerWatch pointer;
    QVERIFY(pointer.drag(grip, QPoint(50, 30), Qt::RightButton));
    // The release comes back to the client only when no window move had taken the pointer.
    QTRY_COMPARE(pointer.releases(Qt::RightButton), 1);
    QCOMPARE(frmMain->pos(), before);
    QVERIFY(pointer.drag(grip, QPoint(-50, 30)));
    QTRY_COMPARE(frmMain->pos(), before + QPoint(-50, 30));
    // The title label is a handle too.
    QVERIFY(pointer.drag(frmMain->LabelMainTitle->mapToGlobal(QPoint(5, 5)), QPoint(50, -30)));
    QTRY_COMPARE(frmMain->pos(), before);
    frmMain->hide();
}

void MainWindowTest::trayQuitWhileABoxIsOpen()
{
    QVERIFY(QSystemTrayIcon::isSystemTrayAvailable());
    // In the tray, not yet at the top-left corner where the icon waits to be taken in.
    const auto iconInTray = [] {
        const QRect at = frmMain->TrayIcon->geometry();
        return at.isValid() && at.topLeft() != QPoint(0, 0);
    };
    QTRY_VERIFY(iconInTray());
    const QPoint icon = frmMain->TrayIcon->geometry().center();
    m_boxes.reset(); // real boxes, as the user sees them

    // A box the user answers leaves the icon where it was.
    QTimer::singleShot(0, [] {
        if (QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 5000))
            QApplication::activeModalWidget()->close();
    });
    QVERIFY(!AskOkCancel(QStringLiteral("提示"), QStringLiteral("提示信息")));
    QVERIFY(iconInTray());

    // One nobody answers, as the version question waits: the tray's menu still opens with the
    // pointer, and "退出系统" ends the client, the box counting as Cancel.
    std::optional<bool> answer;
    const int code = runUntilQuit([icon, &answer] {
        QTimer::singleShot(0, [icon] {
            if (!QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 5000) ||
                !xwindows::clickAt(icon, 3) ||
                !QTest::qWaitFor([] { return frmMain->PopupMenu->isVisible(); }, 5000))
                return;
            QMenu *menu = frmMain->PopupMenu;
            xwindows::clickAt(menu->mapToGlobal(menu->actionGeometry(frmMain->N3).center()), 1);
        });
        answer = AskOkCancel(QStringLiteral("有新的版本"), QStringLiteral("升级提示"));
    });
    m_boxes = std::make_unique<MessageBoxRecorder>();
    QCOMPARE(code, 0);
    QCOMPARE(answer, std::optional<bool>(false));
    QCOMPARE(frmMain->FRunState, 2);

    // The quit closed the icon's window with all others; the next case quits through it again.
    frmMain->TrayIcon->hide();
    frmMain->TrayIcon->show();
    QTRY_VERIFY(iconInTray());
}

void MainWindowTest::trayQuitEndsEvenBeforeLogin()
{
    QVERIFY(QSystemTrayIcon::isSystemTrayAvailable());
    frmMain->hide();
    frmMain->FRunState = 0;
    FreshLoginWindow();
    QVERIFY(QTest::qWaitForWindowExposed(frmLogin));
    const QPoint icon = frmMain->TrayIcon->geometry().center();
    // The tray's menu by its own gesture, then its last entry, with the pointer.
    const int code = runUntilQuit([icon] {
        if (!xwindows::clickAt(icon, 3) ||
            !QTest::qWaitFor([] { return frmMain->PopupMenu->isVisible(); }, 5000))
            return;
        QMenu *menu = frmMain->PopupMenu;
        xwindows::clickAt(menu->mapToGlobal(menu->actionGeometry(frmMain->N3).center()), 1);
    });
    QCOMPARE(code, 0);
    QCOMPARE(frmMain->FRunState, 2);
}

void MainWindowTest::systemCloseEndsTheProgram()
{
    frmMain->FRunState = 1;
    showMain();
    // The window manager's close request (Alt+F4 in openbox), not the title bar's button.
    const QString id = QString::number(frmMain->winId());
    // Typed while the client's loop runs: the window manager's request reaches it there.
    const int code = runUntilQuit([id] { xwindows::sendKey(id, QStringLiteral("alt+F4")); });
    QCOMPARE(code, 0);
}

int main(int argc, char *argv[])
{
    return RunEngineTest<MainWindowTest>(argc, argv, DestroyAppWindows);
}

#include "tst_mainwindow.moc"
