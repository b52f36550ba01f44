#include "LoginTestSupport.h"

#include "AppWindows.h"
#include "BrowserWait.h"
#include "ClientStartup.h"
#include "CppWebBrowser.h"
#include "PortalProcess.h"
#include "SettingsFile.h"
#include "client/login/Flogin.h"
#include "client/mainwindow/Main.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QVariant>

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

void WriteLoginSettings(const QMap<QString, QString> &linkinfo)
{
    QByteArray text = "[linkinfo]\n";
    for (auto it = linkinfo.cbegin(); it != linkinfo.cend(); ++it)
        text += it.key().toUtf8() + '=' + it.value().toUtf8() + '\n';
    QFile file(SettingsPath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text);
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

QString BodyOf(TCppWebBrowser *browser)
{
    return browser && browser->hasPage() ? browser->BodyText() : QString();
}

bool WaitForBody(TCppWebBrowser *browser, const QString &marker, int ms)
{
    return QTest::qWaitFor([&] { return !browser->Busy() && BodyOf(browser).contains(marker); }, ms);
}

QString ScriptText(TCppWebBrowser *browser, const QString &script)
{
    if (!browser || !browser->hasPage())
        return QString();
    bool answered = false;
    QString text;
    browser->runScript(script, [&](const QVariant &result) {
        text = result.toString();
        answered = true;
    });
    if (!QTest::qWaitFor([&] { return answered; }, 5000))
        return QString();
    return text;
}

QString PageId(TCppWebBrowser *browser)
{
    return ScriptText(browser, QStringLiteral("document.body ? document.body.id : ''"));
}

bool WaitForPage(TCppWebBrowser *browser, const QString &bodyId, int ms)
{
    return QTest::qWaitFor([&] { return !browser->Busy() && PageId(browser) == bodyId; }, ms);
}

int RequestsFor(const QStringList &log, const QString &path)
{
    int count = 0;
    for (const QString &line : log) {
        if (line.section(QLatin1Char('\t'), 1, 1) == path)
            ++count;
    }
    return count;
}

bool XPointer(const QStringList &xdotoolArguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), xdotoolArguments);
    const bool done = QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 10000);
    // Let the window system's events reach the client before the next step.
    QTest::qWait(150);
    return done && process.exitCode() == 0;
}

void XMoveTo(const QPoint &global)
{
    XPointer({QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y())});
}

void XButtonDown(int button)
{
    XPointer({QStringLiteral("mousedown"), QString::number(button)});
}

void XButtonUp(int button)
{
    XPointer({QStringLiteral("mouseup"), QString::number(button)});
}

void XClick(const QPoint &global, int button)
{
    XMoveTo(global);
    XButtonDown(button);
    XButtonUp(button);
}

void XDrag(const QPoint &from, const QPoint &by)
{
    XMoveTo(from);
    XButtonDown(1);
    // In steps, as a hand would: the window manager follows motion, not jumps.
    for (int step = 1; step <= 4; ++step)
        XMoveTo(from + by * step / 4);
    XButtonUp(1);
    QTest::qWait(300);
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
    QVERIFY(m_dir->isValid());
    m_boxes = std::make_unique<MessageBoxRecorder>();
    SetBrowserWaitLimitMs(30000);
}
void LoginCaseFixture::endCase()
{
    frmMain->hide();
    // Later tests must see their own pages load, not ones left from here.
    for (TCppWebBrowser *browser : {frmMain->cppHead, frmMain->cppBody, frmMain->cppEnd}) {
        if (browser->hasPage()) {
            browser->Navigate(QStringLiteral("about:blank"));
            WaitWhileBusy(browser);
        }
    }
    if (frmLogin)
        frmLogin->hide();
    m_portal.reset();
    m_boxes.reset();
    m_dir.reset();
    SetBrowserWaitLimitMs(30000);
}
void LoginCaseFixture::startPortal(const QStringList &arguments, const QString &webRootSuffix,
                                   const QMap<QString, QString> &settings)
{
    m_portal = std::make_unique<PortalProcess>();
    QVERIFY2(m_portal->start(arguments), qPrintable(m_portal->errorString()));
    QMap<QString, QString> values{{QStringLiteral("webroot"), m_portal->baseUrl() + webRootSuffix},
                                  {QStringLiteral("savepass"), QStringLiteral("0")},
                                  {QStringLiteral("aotologin"), QStringLiteral("0")},
                                  {QStringLiteral("userid"), QString()},
                                  {QStringLiteral("userpass"), QString()},
                                  {QStringLiteral("userrole"), QString()}};
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        values.insert(it.key(), it.value());
    WriteLoginSettings(values);
}
void LoginCaseFixture::typeAndLogIn(const QString &userId, const QString &userPass)
{
    TfrmLogin *login = FreshLoginWindow();
    login->teUserId->setText(userId);
    login->teUserPass->setText(userPass);
    QTest::mouseClick(login->cbLogin, Qt::LeftButton);
}
