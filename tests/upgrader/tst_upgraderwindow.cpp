#include "Prompt.h"
#include "TSDIAppForm.h"
#include "UpgraderTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

namespace {

// A port with nobody listening: the download fails at once.
QString deadHost()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return QStringLiteral("127.0.0.1:%1").arg(probe.serverPort());
}

// Lets every event and zero-time timer already posted run: a zero-time timer started now fires
// after all of them. The point after which anything the code under test queued has happened.
bool postedWorkDone()
{
    QObject context; // cancels the timer if the wait gives up
    bool fired = false;
    QTimer::singleShot(0, &context, [&fired] { fired = true; });
    return QTest::qWaitFor([&fired] { return fired; }, 5000);
}

UpgradeSetup setupFor(const QString &host)
{
    UpgradeSetup setup;
    setup.arguments = {QStringLiteral("/nonexistent/sorvane-test/clikw730")};
    setup.ownPath = QStringLiteral("/nonexistent/sorvane-test/zunup");
    setup.downloadBase = QStringLiteral("http://") + host;
    return setup;
}

} // namespace

class TestUpgraderWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void constructedAsSpecified();
    void menusAndHints_data();
    void menusAndHints();
    void aboutHasNoEffect();
    void shownCentredAndRunsOnceOnFirstActivation();
    void runsOnceWhereNewWindowsAreNotActivated();
    void exitDuringDownloadGivesUp();
    void promptIsModalOkOnlyWithoutIcon();

private:
    // Shows a window whose download hangs and runs checks while it does, the way a user acts
    // on the window during the download; then chooses "退出". False when that did not happen.
    bool whileDownloading(const std::function<void()> &checks);

    QStringList m_prompts;
    QStringList m_linesAtPrompt;
    TSDIAppForm *m_window = nullptr;
};

bool TestUpgraderWindow::whileDownloading(const std::function<void()> &checks)
{
    QTcpServer silent; // accepts and never answers
    if (!silent.listen(QHostAddress::LocalHost))
        return false;
    m_window = new TSDIAppForm(setupFor(QStringLiteral("127.0.0.1:%1").arg(silent.serverPort())));
    QSignalSpy finished(m_window, &TSDIAppForm::upgradeFinished);
    // The run holds the event loop; the user's actions arrive from inside it.
    QTimer user;
    connect(&user, &QTimer::timeout, this, [&] {
        if (m_window->ProDownMess->isVisible() && silent.hasPendingConnections()) {
            user.stop();
            checks();
            m_window->FileExit1->trigger();
        }
    });
    user.start(50);
    m_window->showCentred();
    return finished.wait(20000);
}

void TestUpgraderWindow::init()
{
    m_prompts.clear();
    m_linesAtPrompt.clear();
    SetPromptHandler([this](const PromptRequest &request) {
        m_prompts << request.text;
        if (m_window) {
            m_linesAtPrompt << (m_window->ProDownMess->isVisible() ? m_window->ProDownMess->text() : "-")
                            << (m_window->ProDownMess2->isVisible() ? m_window->ProDownMess2->text() : "-");
        }
    });
}

void TestUpgraderWindow::cleanup()
{
    delete m_window;
    m_window = nullptr;
    SetPromptHandler({});
}

void TestUpgraderWindow::constructedAsSpecified()
{
    m_window = new TSDIAppForm(setupFor(deadHost()));
    QCOMPARE(m_window->objectName(), QStringLiteral("SDIAppForm"));
    QCOMPARE(m_window->metaObject()->className(), "TSDIAppForm");
    QCOMPARE(m_window->windowTitle(), QStringLiteral("系统升级"));
    QVERIFY(!(m_window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(m_window->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(m_window->windowFlags() & Qt::WindowCloseButtonHint);
    for (QLabel *label : {m_window->ProDownMess, m_window->ProDownMess2, m_window->ProDownProgress}) {
        QVERIFY(label->text().isEmpty());
        QVERIFY(label->isHidden());
    }
    QCOMPARE(m_window->ProDownMess->objectName(), QStringLiteral("ProDownMess"));
    QCOMPARE(m_window->ProDownMess->geometry(), QRect(8, 64, 344, 25));
    QCOMPARE(m_window->ProDownMess2->geometry(), QRect(8, 88, 344, 25));
    QCOMPARE(m_window->font().pixelSize(), 13);
    QVERIFY(!m_window->upgradeStarted()); // nothing before the window is activated

    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    // The client area below the menu: 360 wide, 179 high with the 19-pixel status bar in it.
    const QWidget *client = m_window->centralWidget();
    QCOMPARE(client->width(), 360);
    QCOMPARE(client->height() + m_window->statusBar()->height(), 179);
    QCOMPARE(m_window->statusBar()->height(), 19);
    QCOMPARE(client->y(), m_window->menuBar()->geometry().bottom() + 1);
}

void TestUpgraderWindow::menusAndHints_data()
{
    QTest::addColumn<int>("menu");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("menuHint");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("itemHint");
    QTest::newRow("系统") << 0 << "系统"
                          << "退出系统 "
                          << "退出"
                          << "退出系统 ";
    QTest::newRow("帮助") << 1 << "帮助"
                          << "帮助"
                          << "关于"
                          << "关于本系统";
}

void TestUpgraderWindow::menusAndHints()
{
    QFETCH(int, menu);
    QFETCH(QString, itemHint);
    bool hovered = false;
    QVERIFY(whileDownloading([&] {
        QMenuBar *bar = m_window->menuBar();
        QCOMPARE(bar->actions().size(), 2);
        QAction *menuAction = bar->actions().at(menu);
        QTEST(menuAction->text(), "title");
        QTEST(menuAction->statusTip(), "menuHint");
        QMenu *popup = menuAction->menu();
        QCOMPARE(popup->actions().size(), 1);
        QAction *item = popup->actions().first();
        QTEST(item->text(), "item");

        // Highlighting the item with the mouse puts its hint in the status bar.
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menuAction).center());
        QTRY_VERIFY(popup->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(popup));
        QTest::mouseMove(popup, popup->actionGeometry(item).center());
        QTRY_COMPARE(popup->activeAction(), item);
        QTRY_COMPARE(m_window->statusBar()->currentMessage(), itemHint);
        popup->hide();
        hovered = true;
    }));
    QVERIFY(hovered);
}

void TestUpgraderWindow::aboutHasNoEffect()
{
    bool checked = false;
    QVERIFY(whileDownloading([&] {
        const QWidgetList before = QApplication::topLevelWidgets();
        const QString first = m_window->ProDownMess->text();
        const QString second = m_window->ProDownMess2->text();
        m_window->HelpAbout1->trigger();
        QVERIFY(postedWorkDone());
        QCOMPARE(QApplication::topLevelWidgets(), before);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_window->ProDownMess->text(), first);
        QCOMPARE(m_window->ProDownMess2->text(), second);
        QVERIFY(m_window->ProDownMess->isVisible());
        checked = true;
    }));
    QVERIFY(checked);
    QVERIFY(m_prompts.isEmpty()); // the download was still going when "退出" ended it
}

void TestUpgraderWindow::shownCentredAndRunsOnceOnFirstActivation()
{
    const QString host = deadHost();
    m_window = new TSDIAppForm(setupFor(host));
    QSignalSpy finished(m_window, &TSDIAppForm::upgradeFinished);
    m_window->showCentred();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    const QRect available = m_window->screen()->availableGeometry();
    QVERIFY2((m_window->frameGeometry().center() - available.center()).manhattanLength() <= 3,
             qPrintable(QStringLiteral("frame centre %1,%2")
                            .arg(m_window->frameGeometry().center().x())
                            .arg(m_window->frameGeometry().center().y())));

    QVERIFY(finished.wait(10000)); // starts on its own, without any user action
    QCOMPARE(m_prompts, QStringList{"下载失败，请直接到" + host + "进行下载安装! "});
    QCOMPARE(m_linesAtPrompt,
             (QStringList{"正在下载，请稍候，如果长时间没反应", "请到" + host + "下载安装"}));
    QTRY_VERIFY(m_window->isHidden()); // the run closed the window
    QVERIFY(m_window->ProDownMess->isHidden());

    // Later activations do not run it again.
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QVERIFY(postedWorkDone());     // a run the activation would have queued
    m_window->atUpProm->trigger(); // runs at once if it runs at all
    QCOMPARE(finished.count(), 1);
    QCOMPARE(m_prompts.size(), 1);
}

void TestUpgraderWindow::runsOnceWhereNewWindowsAreNotActivated()
{
    const QString host = deadHost();
    m_window = new TSDIAppForm(setupFor(host));
    QSignalSpy finished(m_window, &TSDIAppForm::upgradeFinished);
    // As under a window manager that leaves new windows inactive.
    m_window->setAttribute(Qt::WA_ShowWithoutActivating);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QVERIFY(!m_window->isActiveWindow());
    QVERIFY2(finished.wait(10000), "the upgrade did not start without an activation");
    QCOMPARE(m_prompts.size(), 1);

    // An activation that comes after all does not run it a second time.
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QVERIFY(postedWorkDone());     // a run the activation would have queued
    m_window->atUpProm->trigger(); // runs at once if it runs at all
    QCOMPARE(finished.count(), 1);
    QCOMPARE(m_prompts.size(), 1);
}

// Choosing "退出" while the download hangs ends the run quietly and closes the window.
void TestUpgraderWindow::exitDuringDownloadGivesUp()
{
    QVERIFY(whileDownloading([] {}));
    QVERIFY(m_prompts.isEmpty());
    QTRY_VERIFY(m_window->isHidden());
    QVERIFY(!m_window->lastResult().downloaded);
    QVERIFY(!m_window->lastResult().stopped);
}

void TestUpgraderWindow::promptIsModalOkOnlyWithoutIcon()
{
    SetPromptHandler({});
    bool checked = false;
    QTimer::singleShot(0, this, [&] {
        QTRY_VERIFY(qobject_cast<QMessageBox *>(QApplication::activeModalWidget()));
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QCOMPARE(box->windowTitle(), QStringLiteral("提示信息"));
        QCOMPARE(box->text(), QStringLiteral("程序更新成功,请重新运行系统"));
        QCOMPARE(box->icon(), QMessageBox::NoIcon);
        QCOMPARE(box->buttons().size(), 1);
        QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(box->windowModality(), Qt::ApplicationModal);
        checked = true;
        box->button(QMessageBox::Ok)->click();
    });
    ShowPrompt(QStringLiteral("程序更新成功,请重新运行系统"));
    QVERIFY(checked);
}

UPGRADER_TEST_MAIN(TestUpgraderWindow, QApplication)
#include "tst_upgraderwindow.moc"
