#include "EngineTestMain.h"
#include "LoginTestSupport.h"
#include "PortalProcess.h"

#include "AppWindows.h"
#include "BrowserWait.h"
#include "ClientStartup.h"
#include "CppWebBrowser.h"
#include "client/login/Flogin.h"
#include "client/login/LoginDecisions.h"
#include "client/login/VersionCheck.h"
#include "client/mainwindow/Main.h"
#include "platform/programstart.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

// The version page after the first login of a run: prompts, the upgrader start, the way on.
class LoginVersionTest : public QObject, protected LoginCaseFixture
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
    void everyDocumentOfTheVersionPageCounts();
    void hangingVersionPageEndsTheLogin();
    void missingUpgraderLeavesTheLoginWindow();

private:
    void installStandInUpgrader();
    QStringList upgraderArguments() const;
    // Whether the stand-in was started at all: it is still running, or it has written its record.
    bool upgraderStarted() const;
    void logIn();
};

void LoginVersionTest::initTestCase()
{
    createWindows();
}

void LoginVersionTest::init()
{
    beginCase();
}

void LoginVersionTest::cleanup()
{
    endCase();
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

bool LoginVersionTest::upgraderStarted() const
{
    // The client starts it before it goes on, so a start shows now: the process first, its record
    // once it has ended (looked at in that order, nothing falls between).
    const QByteArray script = m_dir->filePath(QStringLiteral("zunup")).toLocal8Bit();
    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : processes) {
        QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().split('\0').contains(script))
            return true;
    }
    return !upgraderArguments().isEmpty();
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
    if (!startPortal({QStringLiteral("--version"), page}))
        return;
    installStandInUpgrader();
    m_boxes->answerWith({acceptUpgrade ? BoxAnswer::Ok : BoxAnswer::Cancel});

    logIn();
    if (upgrades) {
        QTRY_VERIFY_WITH_TIMEOUT(!upgraderArguments().isEmpty(), 20000);
        QCOMPARE(upgraderArguments(), QStringList({platform::OwnProgramPath(), QStringLiteral("000")}));
        // The client waits at its login window for the upgrader to stop it; the login is over.
        QVERIFY(!frmLogin->loginUnderWay());
        QVERIFY(frmLogin->isVisible());
        QVERIFY(!frmMain->isVisible());
        // Nothing was stored: the file still has the empty name it was written with.
        QCOMPARE(StoredSetting(QStringLiteral("userid")), QString());
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
        QVERIFY(!frmLogin->isVisible());
        QVERIFY(!upgraderStarted());
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
    if (!startPortal({QStringLiteral("--fault"), QStringLiteral("/clilogin/ver.html=") + fault}))
        return;
    installStandInUpgrader();
    logIn();
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
    QVERIFY2(m_boxes->requests().isEmpty(), qPrintable(m_boxes->texts().join('|')));
    QVERIFY(!upgraderStarted());
}

void LoginVersionTest::everyDocumentOfTheVersionPageCounts()
{
    // There the version page first names no version, then moves on to one that names a newer one.
    if (!startPortal({}, QStringLiteral("/login-test/twice")))
        return;
    installStandInUpgrader();
    m_boxes->answerWith({BoxAnswer::Cancel});
    logIn();
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(m_boxes->texts(), QStringList{UpgradeQuestion()}, 20000);
    QCOMPARE(RequestsFor(m_portal->requestLog(), QStringLiteral("/login-test/twice/clilogin/ver2.html")), 1);
    // Refused, and nothing expired: the way on is the main window again.
    QVERIFY(!upgraderStarted());
    QVERIFY(frmMain->isVisible());
}

void LoginVersionTest::hangingVersionPageEndsTheLogin()
{
    if (!startPortal({QStringLiteral("--fault"), QStringLiteral("/clilogin/ver.html=hang")}))
        return;
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
    if (!startPortal({QStringLiteral("--version"), QStringLiteral("3.0.06;3.0.01")}))
        return;
    m_boxes->answerWith({BoxAnswer::Ok});
    logIn();
    QTRY_COMPARE_WITH_TIMEOUT(m_boxes->requests().size(), 1, 20000);
    // The version step ends with the answer; what follows it has happened by now.
    QVERIFY(!frmLogin->loginUnderWay());
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
    return RunEngineTest<LoginVersionTest>(argc, argv, DestroyAppWindows);
}

#include "tst_loginversion.moc"
