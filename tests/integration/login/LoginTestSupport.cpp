#include "LoginTestSupport.h"

#include "AppWindows.h"
#include "BrowserWait.h"
#include "ClientStartup.h"
#include "CppWebBrowser.h"
#include "PortalProcess.h"
#include "SettingsFile.h"
#include "TestFiles.h"
#include "XWindows.h"
#include "client/login/Flogin.h"
#include "client/mainwindow/Main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

ScratchDir::ScratchDir()
    : m_previous(QDir::currentPath())
{
    if (m_dir.isValid())
        QDir::setCurrent(m_dir.path());
}

ScratchDir::~ScratchDir()
{
    QDir::setCurrent(m_previous);
}

QString StoredSetting(const QString &key)
{
    return ReadSetting(QStringLiteral("linkinfo"), key, QStringLiteral("<missing>"));
}

MessageBoxRecorder::MessageBoxRecorder()
{
    SetMessageBoxHandler([this](const MessageBoxRequest &request) {
        m_requests.append(request);
        return m_answers.isEmpty() ? BoxAnswer::Ok : m_answers.takeFirst();
    });
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    SetMessageBoxHandler({});
}

QStringList MessageBoxRecorder::texts() const
{
    QStringList list;
    for (const MessageBoxRequest &request : m_requests)
        list << request.text;
    return list;
}

TfrmLogin *FreshLoginWindow()
{
    if (frmLogin)
        delete frmLogin.data();
    frmLogin = CreateForm<TfrmLogin>();
    frmLogin->show();
    return frmLogin;
}

bool WaitForPaint(QWidget *widget, int ms)
{
    struct PaintSeen : QObject
    {
        bool seen = false;
        bool eventFilter(QObject *, QEvent *event) override
        {
            seen = seen || event->type() == QEvent::Paint;
            return false;
        }
    } filter;
    widget->installEventFilter(&filter);
    widget->update();
    const bool painted = QTest::qWaitFor([&] { return filter.seen; }, ms);
    widget->removeEventFilter(&filter);
    // What the paint queued (zero timers, queued calls) runs before this returns.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return painted;
}

bool WaitForPlacement(QWidget *window, int ms)
{
    const QString id = QString::number(window->winId());
    return QTest::qWaitFor([&] { return xwindows::geometry(id).topLeft() == window->geometry().topLeft(); },
                           ms);
}

PointerWatch::PointerWatch()
{
    // Installed last, so it sees input before the client's own filters can swallow it.
    qApp->installEventFilter(this);
}

bool PointerWatch::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    // Counted where input arrives, at the window, once per press whichever widget gets it.
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) && watched->isWindowType()) {
        const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
        ++(type == QEvent::MouseButtonPress ? m_presses : m_releases)[button];
    } else if (type == QEvent::Show && watched->isWidgetType() &&
               static_cast<QWidget *>(watched)->windowType() == Qt::Popup) {
        ++m_popups;
    }
    return false;
}

bool PointerWatch::drag(const QPoint &from, const QPoint &by, Qt::MouseButton button)
{
    const QString number = button == Qt::RightButton ? QStringLiteral("3") : QStringLiteral("1");
    const int pressesBefore = presses(button);
    bool done = xwindows::xdotool({QStringLiteral("mousemove"), QString::number(from.x()),
                                   QString::number(from.y()), QStringLiteral("mousedown"), number}) &&
                QTest::qWaitFor([&] { return presses(button) > pressesBefore; }, 10000);
    // In steps, as a hand would: the window manager follows motion, not jumps.
    for (int step = 1; done && step <= 4; ++step) {
        const QPoint at = from + by * step / 4;
        done = xwindows::xdotool(
            {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
    }
    // Released whatever happened, so no later test starts with the button down.
    return xwindows::xdotool({QStringLiteral("mouseup"), number}) && done;
}

LoginCaseFixture::LoginCaseFixture() = default;
LoginCaseFixture::~LoginCaseFixture() = default;

void LoginCaseFixture::createWindows()
{
    const ScratchDir creation;
    CreateClientWindows();
    for (QWidget *window : AppWindows())
        window->hide();
}
void LoginCaseFixture::beginCase()
{
    m_dir = std::make_unique<ScratchDir>();
    QVERIFY2(m_dir->isValid(), "no scratch working directory");
    m_boxes = std::make_unique<MessageBoxRecorder>();
    SetBrowserWaitLimitMs(30000);
}

void LoginCaseFixture::endCase()
{
    if (frmMain) {
        frmMain->hide();
        // Later tests must see their own pages load, not ones left from here.
        for (TCppWebBrowser *browser : {frmMain->cppHead, frmMain->cppBody, frmMain->cppEnd}) {
            if (browser->hasPage()) {
                browser->Navigate(QStringLiteral("about:blank"));
                WaitWhileBusy(browser);
            }
        }
    }
    if (frmLogin)
        frmLogin->hide();
    m_portal.reset();
    m_boxes.reset();
    m_dir.reset();
    SetBrowserWaitLimitMs(30000);
}

bool LoginCaseFixture::startPortal(const QStringList &arguments, const QString &webRootSuffix,
                                   const QMap<QString, QString> &settings)
{
    m_portal = std::make_unique<PortalProcess>();
    if (!QTest::qVerify(m_portal->start(arguments), "m_portal->start(arguments)",
                        qPrintable(m_portal->errorString()), __FILE__, __LINE__))
        return false;
    return writeSettings(webRootSuffix, settings);
}

bool LoginCaseFixture::writeSettings(const QString &webRootSuffix, const QMap<QString, QString> &settings)
{
    QMap<QString, QString> values{{QStringLiteral("webroot"), m_portal->baseUrl() + webRootSuffix},
                                  {QStringLiteral("savepass"), QStringLiteral("0")},
                                  {QStringLiteral("aotologin"), QStringLiteral("0")},
                                  {QStringLiteral("userid"), QString()},
                                  {QStringLiteral("userpass"), QString()},
                                  {QStringLiteral("userrole"), QString()}};
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        values.insert(it.key(), it.value());
    return QTest::qVerify(WriteLinkSettings(SettingsPath(), values),
                          "WriteLinkSettings(SettingsPath(), values)", "the settings file cannot be written",
                          __FILE__, __LINE__);
}

void LoginCaseFixture::typeAndLogIn(const QString &userId, const QString &userPass)
{
    TfrmLogin *login = FreshLoginWindow();
    login->teUserId->setText(userId);
    login->teUserPass->setText(userPass);
    QTest::mouseClick(login->cbLogin, Qt::LeftButton);
}
