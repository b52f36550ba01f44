#include "TSDIAppForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

namespace {

constexpr int clientWidth = 360;
constexpr int clientHeight = 179;
constexpr int statusBarHeight = 19;
// Some window managers never activate a new window; the upgrade then starts this long after the
// window was shown.
constexpr int startWithoutActivationMs = 700;

QLabel *statusLine(QWidget *parent, const char *name, int top)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(8, top, 344, 25);
    label->clear();
    label->hide();
    return label;
}

} // namespace

TSDIAppForm::TSDIAppForm(UpgradeSetup setup, QWidget *parent)
    : QMainWindow(parent)
    , m_procedure(std::move(setup), *this)
{
    setObjectName(QStringLiteral("SDIAppForm"));
    setWindowTitle(QStringLiteral("系统升级"));
    // What task bars and minimised icons show: the application's title.
    setWindowIconText(QApplication::applicationName());
    // Resizable, minimise and close, no maximise.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QFont windowFont = font();
    windowFont.setPixelSize(13);
    setFont(windowFont);

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(central);
    ProDownMess = statusLine(central, "ProDownMess", 64);
    ProDownMess2 = statusLine(central, "ProDownMess2", 88);
    ProDownProgress = statusLine(central, "ProDownProgress", 112);

    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setFixedHeight(statusBarHeight);
    statusBar()->setSizeGripEnabled(false);

    atUpProm = new QAction(this);
    atUpProm->setObjectName(QStringLiteral("atUpProm"));
    connect(atUpProm, &QAction::triggered, this, &TSDIAppForm::atUpPromExecute);
    buildMenus();

    // The client area holds the page and the status bar; the menu bar comes on top of it.
    central->setMinimumSize(clientWidth, clientHeight - statusBarHeight);
    resize(clientWidth, menuBar()->sizeHint().height() + clientHeight);
    central->setMinimumSize(0, 0);
}

void TSDIAppForm::buildMenus()
{
    QMenu *systemMenu = menuBar()->addMenu(QStringLiteral("系统"));
    systemMenu->menuAction()->setStatusTip(QStringLiteral("退出系统 "));
    FileExit1 = systemMenu->addAction(QStringLiteral("退出"));
    FileExit1->setObjectName(QStringLiteral("FileExit1"));
    FileExit1->setStatusTip(QStringLiteral("退出系统 "));
    connect(FileExit1, &QAction::triggered, this, &TSDIAppForm::FileExit1Execute);

    QMenu *helpMenu = menuBar()->addMenu(QStringLiteral("帮助"));
    helpMenu->menuAction()->setStatusTip(QStringLiteral("帮助"));
    HelpAbout1 = helpMenu->addAction(QStringLiteral("关于"));
    HelpAbout1->setObjectName(QStringLiteral("HelpAbout1"));
    HelpAbout1->setStatusTip(QStringLiteral("关于本系统"));
    connect(HelpAbout1, &QAction::triggered, this, &TSDIAppForm::HelpAbout1Execute);
}

void TSDIAppForm::showCentred()
{
    show();
    centre();
    activateWindow();
}

void TSDIAppForm::centre()
{
    const QScreen *shownOn = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!shownOn)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(shownOn->availableGeometry().center());
    move(frame.topLeft());
}

bool TSDIAppForm::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QMainWindow::event(event);
}

void TSDIAppForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    QTimer::singleShot(startWithoutActivationMs, atUpProm, &QAction::trigger);
}

void TSDIAppForm::FormActivate()
{
    // Activation comes back after every prompt; only the first one starts the upgrade.
    if (m_started)
        return;
    // The frame is known only once the window manager has framed the window.
    if (!m_centredInFrame) {
        m_centredInFrame = true;
        centre();
    }
    // Leave the activation handler first, so the window has painted before the work starts.
    QTimer::singleShot(0, atUpProm, &QAction::trigger);
}

void TSDIAppForm::atUpPromExecute()
{
    // Once per start, and not after the user has already closed the window.
    if (m_started || !isVisible())
        return;
    m_started = true;
    m_running = true;
    m_result = m_procedure.run();
    m_running = false;
    emit upgradeFinished();
}

void TSDIAppForm::FileExit1Execute()
{
    close();
}

void TSDIAppForm::HelpAbout1Execute() {}

void TSDIAppForm::closeEvent(QCloseEvent *event)
{
    if (m_running && !m_closingByProcedure) {
        // While the download runs, closing means giving up the upgrade; the run then ends and
        // closes the window itself. Once the client is being stopped and replaced, the run
        // must see it through.
        if (m_procedure.isDownloading())
            m_procedure.cancelDownload();
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void TSDIAppForm::setFirstLine(const QString &text, bool visible)
{
    ProDownMess->setText(text);
    ProDownMess->setVisible(visible);
}

void TSDIAppForm::setSecondLine(const QString &text, bool visible)
{
    ProDownMess2->setText(text);
    ProDownMess2->setVisible(visible);
}

void TSDIAppForm::setProgressLine(const QString &text, bool visible)
{
    ProDownProgress->setText(text);
    ProDownProgress->setVisible(visible);
}

void TSDIAppForm::processPendingEvents()
{
    QCoreApplication::processEvents();
}

void TSDIAppForm::closeWindow()
{
    m_closingByProcedure = true;
    close();
    m_closingByProcedure = false;
}
