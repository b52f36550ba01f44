#include "LoginTestSupport.h"
#include "PortalProcess.h"

#include "AppWindows.h"
#include "BrowserEngine.h"
#include "BrowserWait.h"
#include "ClientStartup.h"
#include "CppWebBrowser.h"
#include "client/login/Flogin.h"
#include "client/login/LoginDecisions.h"
#include "client/login/VersionCheck.h"
#include "client/mainwindow/Main.h"
#include "platform/programstart.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

// The version page after the first login of a run: prompts, the upgrader start, the way on.
class LoginVersionTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void versionPages_data();
    void versionPages();
    void failedVersionPageCountsAsUnreadable_data();
    void failedVersionPageCountsAsUnreadable();
    void hangingVersionPageEndsTheLogin();
    void missingUpgraderLeavesTheLoginWindow();

private:
    void startPortal(const QStringList &arguments);
    void installStandInUpgrader();
    QStringList upgraderArguments() const;
    void logIn();

    std::unique_ptr<ScratchDir> m_dir;
    std::unique_ptr<PortalProcess> m_portal;
    std::unique_ptr<MessageBoxRecorder> m_boxes;
};

void LoginVersionTest::initTestCase()
{
    const ScratchDir creation;
    CreateClientWindows();
    for (QWidget *window : AppWindows())
        window->hide();
}

void LoginVersionTest::init()
{
    m_dir = std::make_unique<ScratchDir>();
    QVERIFY(m_dir->isValid());
    m_boxes = std::make_unique<MessageBoxRecorder>();
}

void LoginVersionTest::cleanup()
{
    frmMain->hide();
    if (frmLogin)
        frmLogin->hide();
    m_portal.reset();
    m_boxes.reset();
    m_dir.reset();
    SetBrowserWaitLimitMs(30000);
}

void LoginVersionTest::startPortal(const QStringList &arguments)
{
    m_portal = std::make_unique<PortalProcess>();
    QVERIFY2(m_portal->start(arguments), qPrintable(m_portal->errorString()));
    WriteLoginSettings({{QStringLiteral("webroot"), m_portal->baseUrl()},
                        {QStringLiteral("savepass"), QStringLiteral("0")},
                        {QStringLiteral("aotologin"), QStringLiteral("0")}});
}

void LoginVersionTest::installStandInUpgrader()
{
    // Found in the working directory (the test program's folder has none): it records its
    // arguments one a line and ends.
    const QString record = m_dir->filePath(QStringLiteral("upgrader-args.txt"));
    QFile script(m_dir->filePath(QStringLiteral("zunup")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '%1.tmp'\n"
                                "mv '%1.tmp' '%1'\n")
                     .arg(record)
                     .toUtf8());
    script.close();
    QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

QStringList LoginVersionTest::upgraderArguments() const
{
    QFile record(m_dir->filePath(QStringLiteral("upgrader-args.txt")));
    if (!record.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(record.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void LoginVersionTest::logIn()
{
    TfrmLogin *login = FreshLoginWindow();
    login->teUserId->setText(QStringLiteral("demo"));
    login->teUserPass->setText(QStringLiteral("demo123"));
    QTest::mouseClick(login->cbLogin, Qt::LeftButton);
}

void LoginVersionTest::versionPages_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("acceptUpgrade");
    QTest::addColumn<QStringList>("prompts");
    QTest::addColumn<bool>("upgrades");
    const QStringList offer{UpgradeQuestion()};
    const QStringList offerThenExpired{UpgradeQuestion(), VersionExpiredNotice()};
    QTest::newRow("same version") << "3.0.05;3.0.01" << false << QStringList() << false;
    QTest::newRow("older newest, refused") << "3.0.04;3.0.01" << false << offer << false;
    QTest::newRow("newer, accepted") << "3.0.06;3.0.01" << true << offer << true;
    QTest::newRow("newer, refused, minimum above ours")
        << "3.0.06;3.0.06" << false << offerThenExpired << true;
    QTest::newRow("newer, refused, maximum below ours")
        << "3.0.06;3.0.01;3.0.04" << false << offerThenExpired << true;
    QTest::newRow("newer, refused, still accepted") << "3.0.06;3.0.01;3.0.09" << false << offer << false;
    QTest::newRow("empty page") << "" << false << QStringList() << false;
}

void LoginVersionTest::versionPages()
{
    QFETCH(QString, page);
    QFETCH(bool, acceptUpgrade);
    QFETCH(QStringList, prompts);
    QFETCH(bool, upgrades);
    startPortal({QStringLiteral("--version"), page});
    installStandInUpgrader();
    m_boxes->answerWith({acceptUpgrade ? BoxAnswer::Ok : BoxAnswer::Cancel});

    logIn();
    if (upgrades) {
        QTRY_VERIFY_WITH_TIMEOUT(!upgraderArguments().isEmpty(), 20000);
        QCOMPARE(upgraderArguments(), QStringList({platform::OwnProgramPath(), QStringLiteral("000")}));
        QTest::qWait(500);
        // The client waits at its login window for the upgrader to stop it.
        QVERIFY(frmLogin->isVisible());
        QVERIFY(!frmMain->isVisible());
        QCOMPARE(StoredSetting(QStringLiteral("userid")), QStringLiteral("<missing>"));
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
        QVERIFY(!frmLogin->isVisible());
        QTest::qWait(300);
        QVERIFY(upgraderArguments().isEmpty());
    }
    QCOMPARE(m_boxes->texts(), prompts);
    for (const MessageBoxRequest &box : m_boxes->requests())
        QCOMPARE(box.caption, QStringLiteral("Sorvane金融终端::升级提示"));
    if (!prompts.isEmpty()) {
        QCOMPARE(m_boxes->requests().first().buttons, BoxButtons::OkCancel);
        QCOMPARE(m_boxes->requests().first().icon, BoxIcon::Question);
    }
    if (prompts.size() > 1) {
        QCOMPARE(m_boxes->requests().at(1).buttons, BoxButtons::Ok);
        QCOMPARE(m_boxes->requests().at(1).icon, BoxIcon::None);
    }
    QCOMPARE(RequestsFor(m_portal->requestLog(), QStringLiteral("/clilogin/ver.html")), 1);
}

void LoginVersionTest::failedVersionPageCountsAsUnreadable_data()
{
    QTest::addColumn<QString>("fault");
    // An error page's words are no version fields: no offer, the login goes on.
    QTest::newRow("status 500") << "status:500";
    QTest::newRow("not found page") << "html404";
    QTest::newRow("connection reset") << "reset";
}

void LoginVersionTest::failedVersionPageCountsAsUnreadable()
{
    QFETCH(QString, fault);
    startPortal({QStringLiteral("--fault"), QStringLiteral("/clilogin/ver.html=") + fault});
    installStandInUpgrader();
    logIn();
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
    QVERIFY2(m_boxes->requests().isEmpty(), qPrintable(m_boxes->texts().join('|')));
    QVERIFY(upgraderArguments().isEmpty());
}

void LoginVersionTest::hangingVersionPageEndsTheLogin()
{
    startPortal({QStringLiteral("--fault"), QStringLiteral("/clilogin/ver.html=hang")});
    SetBrowserWaitLimitMs(1500);
    logIn();
    QTRY_COMPARE_WITH_TIMEOUT(m_boxes->requests().size(), 1, 20000);
    QCOMPARE(m_boxes->texts(), QStringList{LoginFailedMessage()});
    QCOMPARE(m_boxes->requests().first().caption, LoginFailedCaption());
    QVERIFY(frmLogin->isVisible());
    QVERIFY(!frmMain->isVisible());
    QVERIFY(!frmLogin->loginUnderWay());

    // The version was never checked, so the next login asks for the page again.
    QVERIFY(m_portal->setFault(QStringLiteral("/clilogin/ver.html"), QString()));
    QTest::mouseClick(frmLogin->cbLogin, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
    QCOMPARE(m_boxes->requests().size(), 1);
    QCOMPARE(RequestsFor(m_portal->requestLog(), QStringLiteral("/clilogin/ver.html")), 2);
}

void LoginVersionTest::missingUpgraderLeavesTheLoginWindow()
{
    startPortal({QStringLiteral("--version"), QStringLiteral("3.0.06;3.0.01")});
    m_boxes->answerWith({BoxAnswer::Ok});
    logIn();
    QTRY_COMPARE_WITH_TIMEOUT(m_boxes->requests().size(), 1, 20000);
    QTest::qWait(500);
    QVERIFY(frmLogin->isVisible());
    QVERIFY(!frmMain->isVisible());
    QCOMPARE(m_boxes->requests().size(), 1);

    // Checked once in this run: the next login goes straight in.
    QTest::mouseClick(frmLogin->cbLogin, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
    QCOMPARE(m_boxes->requests().size(), 1);
    QCOMPARE(RequestsFor(m_portal->requestLog(), QStringLiteral("/clilogin/ver.html")), 1);
}

int main(int argc, char *argv[])
{
    BrowserEngine::prepareProcessModel();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    BrowserEngine engine;
    int result = 0;
    {
        LoginVersionTest test;
        result = QTest::qExec(&test, argc, argv);
    }
    DestroyAppWindows();
    return result;
}

#include "tst_loginversion.moc"
