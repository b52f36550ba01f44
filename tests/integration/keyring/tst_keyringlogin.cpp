#include "EngineTestMain.h"
#include "KeyringProbe.h"
#include "LoginTestSupport.h"
#include "PortalProcess.h"

#include "AppWindows.h"
#include "LoginSettings.h"
#include "client/login/Flogin.h"
#include "client/mainwindow/Main.h"
#include "platform/secretstore.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// The login window against the real portal, with the remembered password in a real keyring, and
// the same journeys with no keyring, where the settings file keeps the password as before.
class KeyringLoginTest : public QObject, protected LoginCaseFixture
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void rememberedLoginGoesToKeyringAndBack();
    void olderClientsPasswordMovesOnlyOnSuccess_data();
    void olderClientsPasswordMovesOnlyOnSuccess();
    void forgettingClearsTheKeyring_data();
    void forgettingClearsTheKeyring();
    void stuckKeyringNeverHoldsTheLogin();

private:
    // Logs in as demo with the remember-password box ticked and waits for the main window.
    static void logInRemembering(bool autoLogin)
    {
        TfrmLogin *login = FreshLoginWindow();
        login->teUserId->setText(QStringLiteral("demo"));
        login->teUserPass->setText(QStringLiteral("demo123"));
        login->cbxSavePass->setChecked(true);
        login->cbxAutoLogin->setChecked(autoLogin);
        QTest::mouseClick(login->cbLogin, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
    }
    QString entry() const { return KeyringKey(QStringLiteral("demo"), m_portal->baseUrl()); }
    // What the file and the keyring hold for a password that is remembered.
    void expectRemembered(const QString &password)
    {
        const bool keyring = KeyringExpected();
        QCOMPARE(StoredSetting(QStringLiteral("userpass")), keyring ? QString() : password);
        QCOMPARE(KeyringPassword(entry()), keyring ? password : QString());
        QCOMPARE(StoredSetting(QStringLiteral("savepass")), QStringLiteral("1"));
    }
};

void KeyringLoginTest::initTestCase()
{
    QCOMPARE(platform::SecretStoreReachable(), KeyringExpected());
    createWindows();
}

void KeyringLoginTest::init()
{
    beginCase();
}

void KeyringLoginTest::cleanup()
{
    endCase();
}

void KeyringLoginTest::rememberedLoginGoesToKeyringAndBack()
{
    if (!startPortal({}))
        return;
    logInRemembering(true);
    expectRemembered(QStringLiteral("demo123"));
    QCOMPARE(StoredSetting(QStringLiteral("aotologin")), QStringLiteral("1"));

    // The next start finds the password and logs in without the user.
    frmMain->hide();
    TfrmLogin *login = FreshLoginWindow();
    QCOMPARE(login->teUserPass->text(), QStringLiteral("demo123"));
    QVERIFY(login->cbxSavePass->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
    QVERIFY2(m_boxes->requests().isEmpty(), qPrintable(m_boxes->texts().join('|')));
    QCOMPARE(RequestsFor(m_portal->requestLog(), QStringLiteral("/clilogin/clilogin.jsp")), 2);
    QVERIFY(login->Edit1->text().contains(QStringLiteral("&userid=demo&userpass=demo123&")));
    expectRemembered(QStringLiteral("demo123"));
}

void KeyringLoginTest::olderClientsPasswordMovesOnlyOnSuccess_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("accepted") << QStringLiteral("demo123") << true;
    QTest::newRow("refused") << QStringLiteral("wrong") << false;
}

void KeyringLoginTest::olderClientsPasswordMovesOnlyOnSuccess()
{
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    if (!startPortal({}, QString(),
                     {{QStringLiteral("savepass"), QStringLiteral("1")},
                      {QStringLiteral("aotologin"), QStringLiteral("1")},
                      {QStringLiteral("userid"), QStringLiteral("demo")},
                      {QStringLiteral("userpass"), password}}))
        return;
    TfrmLogin *login = FreshLoginWindow();
    QCOMPARE(login->teUserPass->text(), password);
    if (accepted) {
        QTRY_VERIFY_WITH_TIMEOUT(frmMain->isVisible(), 20000);
        expectRemembered(password);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(m_boxes->requests().size(), 1, 20000);
        QCOMPARE(m_boxes->requests().first().text, QStringLiteral("用户名或密码错误"));
        // A refused login stores nothing: the older client's file stays as it was.
        QCOMPARE(StoredSetting(QStringLiteral("userpass")), password);
        QCOMPARE(KeyringPassword(entry()), QString());
    }
}

void KeyringLoginTest::forgettingClearsTheKeyring_data()
{
    QTest::addColumn<bool>("cancelButton");
    QTest::newRow("login window's cancel button") << true;
    QTest::newRow("main window's forget-the-login") << false;
}

void KeyringLoginTest::forgettingClearsTheKeyring()
{
    QFETCH(bool, cancelButton);
    if (!startPortal({}))
        return;
    logInRemembering(false);
    expectRemembered(QStringLiteral("demo123"));

    if (cancelButton) {
        frmMain->hide();
        TfrmLogin *login = FreshLoginWindow();
        QCOMPARE(login->teUserPass->text(), QStringLiteral("demo123"));
        QTest::mouseClick(login->cbCancel, Qt::LeftButton);
        QCOMPARE(login->teUserPass->text(), QString());
    } else {
        frmMain->MenuItem2->trigger();
    }
    QCOMPARE(KeyringPassword(entry()), QString());
    QCOMPARE(StoredSetting(QStringLiteral("userid")), QString());
    QCOMPARE(StoredSetting(QStringLiteral("userpass")), QString());
    // Nothing brings the password back on the next start.
    frmMain->hide();
    QCOMPARE(FreshLoginWindow()->teUserPass->text(), QString());
}

void KeyringLoginTest::stuckKeyringNeverHoldsTheLogin()
{
    if (!KeyringExpected())
        QSKIP("needs the keyring daemon of a keyring session");
    if (!startPortal({}, QString(),
                     {{QStringLiteral("savepass"), QStringLiteral("1")},
                      {QStringLiteral("aotologin"), QStringLiteral("1")},
                      {QStringLiteral("userid"), QStringLiteral("demo")}}))
        return;
    QVERIFY(platform::WriteSecret(KeyringService(), entry(), QStringLiteral("demo123")));
    QVERIFY(PauseKeyringDaemon());
    const int limit = platform::SecretWaitLimitMs();
    platform::SetSecretWaitLimitMs(1000);

    QElapsedTimer clock;
    clock.start();
    TfrmLogin *login = FreshLoginWindow();
    const qint64 openMs = clock.elapsed();
    // The keyring did not answer: the window opens without the password and waits for the user.
    const QString offered = login->teUserPass->text();
    login->teUserPass->setText(QStringLiteral("demo123"));
    QTest::mouseClick(login->cbLogin, Qt::LeftButton);
    const bool entered = QTest::qWaitFor([] { return frmMain->isVisible(); }, 20000);
    const QString stored = StoredSetting(QStringLiteral("userpass"));

    QVERIFY(ResumeKeyringDaemon());
    platform::SetSecretWaitLimitMs(limit);
    QVERIFY(platform::SecretStoreReachable());

    qInfo("stuck keyring: login window made in %lld ms with a 1000 ms limit", openMs);
    QVERIFY2(openMs < 5000, qPrintable(QString::number(openMs)));
    QCOMPARE(offered, QString());
    QVERIFY(entered);
    // The keyring never confirmed the new password, so the file keeps it.
    QCOMPARE(stored, QStringLiteral("demo123"));
}

int main(int argc, char *argv[])
{
    return RunEngineTest<KeyringLoginTest>(argc, argv, DestroyAppWindows);
}

#include "tst_keyringlogin.moc"
