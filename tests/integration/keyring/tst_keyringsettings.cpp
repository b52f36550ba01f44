#include "KeyringProbe.h"

#include "LoginSettings.h"
#include "SettingsFile.h"
#include "platform/secretstore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The remembered password between the settings file and a real keyring daemon, and the same
// operations with no keyring at all: the file then behaves as it always has.
class KeyringSettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void rememberedPasswordLivesInKeyring_data();
    void rememberedPasswordLivesInKeyring();
    void loadFindsThePassword_data();
    void loadFindsThePassword();
    void notRememberedForgetsBothPlaces();
    void clearingForgetsBothPlaces_data();
    void clearingForgetsBothPlaces();
    void anotherLoginNameTakesItsPasswordAlong();
    void stuckKeyringKeepsTheFile();

private:
    static QString fileValue(const QString &key)
    {
        return ReadSetting(QStringLiteral("linkinfo"), key, QStringLiteral("<missing>"));
    }
    QString key(const QString &userId) const { return KeyringKey(userId, m_webRoot); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previous;
    QString m_webRoot;
    int m_case = 0;
};

void KeyringSettingsTest::initTestCase()
{
    // A harness that failed to give (or to withhold) a keyring must not pass as the other case.
    QCOMPARE(platform::SecretStoreReachable(), KeyringExpected());
}

void KeyringSettingsTest::init()
{
    m_previous = QDir::currentPath();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir::setCurrent(m_dir->path());
    QVERIFY(LoadLoginSettings().loaded);
    // Each case its own service address, so no keyring entry leaks into the next case.
    m_webRoot = QStringLiteral("http://127.0.0.1:%1").arg(20000 + ++m_case);
    WriteSetting(QStringLiteral("linkinfo"), QStringLiteral("webroot"), m_webRoot);
}

void KeyringSettingsTest::cleanup()
{
    QDir::setCurrent(m_previous);
    m_dir.reset();
}

void KeyringSettingsTest::rememberedPasswordLivesInKeyring_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("plain") << QStringLiteral("demo123");
    QTest::newRow("delimiters") << QStringLiteral("a&b#c+d e|f");
    QTest::newRow("chinese") << QStringLiteral("中文密码");
    QTest::newRow("ini syntax") << QStringLiteral("x=y;[linkinfo]");
}

void KeyringSettingsTest::rememberedPasswordLivesInKeyring()
{
    QFETCH(QString, password);
    StoreLoginSettings(QStringLiteral("demo"), password, true, true);
    const bool keyring = KeyringExpected();
    QCOMPARE(fileValue(QStringLiteral("userpass")), keyring ? QString() : password);
    QCOMPARE(KeyringPassword(key(QStringLiteral("demo"))), keyring ? password : QString());
    QCOMPARE(fileValue(QStringLiteral("savepass")), QStringLiteral("1"));
    QCOMPARE(fileValue(QStringLiteral("aotologin")), QStringLiteral("1"));

    const LoginSettings loaded = LoadLoginSettings();
    QCOMPARE(loaded.userId, QStringLiteral("demo"));
    QCOMPARE(loaded.userPass, password);
}

void KeyringSettingsTest::loadFindsThePassword_data()
{
    QTest::addColumn<QString>("savePass");
    QTest::addColumn<QString>("filePass");
    QTest::addColumn<QString>("keyringPass");
    QTest::addColumn<QString>("keyringWebRoot");
    QTest::addColumn<QString>("withKeyring");
    QTest::addColumn<QString>("withoutKeyring");
    const QString same;
    QTest::newRow("only in the keyring") << "1"
                                         << ""
                                         << "k-pass" << same << "k-pass"
                                         << "";
    QTest::newRow("older client's file") << "1"
                                         << "f-pass"
                                         << "" << same << "f-pass"
                                         << "f-pass";
    QTest::newRow("file beats a stale entry") << "1"
                                              << "f-pass"
                                              << "k-pass" << same << "f-pass"
                                              << "f-pass";
    QTest::newRow("not remembered") << "0"
                                    << ""
                                    << "k-pass" << same << ""
                                    << "";
    QTest::newRow("only 1 remembers") << "yes"
                                      << ""
                                      << "k-pass" << same << ""
                                      << "";
    QTest::newRow("other service address") << "1"
                                           << ""
                                           << "k-pass"
                                           << "http://elsewhere"
                                           << ""
                                           << "";
}

void KeyringSettingsTest::loadFindsThePassword()
{
    QFETCH(QString, savePass);
    QFETCH(QString, filePass);
    QFETCH(QString, keyringPass);
    QFETCH(QString, keyringWebRoot);
    QFETCH(QString, withKeyring);
    QFETCH(QString, withoutKeyring);
    const QString section = QStringLiteral("linkinfo");
    WriteSetting(section, QStringLiteral("savepass"), savePass);
    WriteSetting(section, QStringLiteral("userid"), QStringLiteral("demo"));
    WriteSetting(section, QStringLiteral("userpass"), filePass);
    if (!keyringPass.isEmpty()) {
        const QString entry =
            KeyringKey(QStringLiteral("demo"), keyringWebRoot.isEmpty() ? m_webRoot : keyringWebRoot);
        QCOMPARE(platform::WriteSecret(KeyringService(), entry, keyringPass), KeyringExpected());
    }
    QCOMPARE(LoadLoginSettings().userPass, KeyringExpected() ? withKeyring : withoutKeyring);
}

void KeyringSettingsTest::notRememberedForgetsBothPlaces()
{
    StoreLoginSettings(QStringLiteral("demo"), QStringLiteral("demo123"), true, true);
    StoreLoginSettings(QStringLiteral("demo"), QStringLiteral("demo123"), false, true);
    QCOMPARE(fileValue(QStringLiteral("userpass")), QString());
    QCOMPARE(KeyringPassword(key(QStringLiteral("demo"))), QString());
    QCOMPARE(LoadLoginSettings().userPass, QString());
}

void KeyringSettingsTest::clearingForgetsBothPlaces_data()
{
    QTest::addColumn<bool>("cancelButton");
    QTest::newRow("cancel button") << true;
    QTest::newRow("forget the login") << false;
}

void KeyringSettingsTest::clearingForgetsBothPlaces()
{
    QFETCH(bool, cancelButton);
    StoreLoginSettings(QStringLiteral("demo"), QStringLiteral("demo123"), true, true);
    if (cancelButton)
        ClearStoredCredentials();
    else
        ClearLoginInformation();
    QCOMPARE(KeyringPassword(key(QStringLiteral("demo"))), QString());
    QCOMPARE(fileValue(QStringLiteral("userid")), QString());
    QCOMPARE(fileValue(QStringLiteral("userpass")), QString());
    // Logging in as the same user again must not find the old password anywhere.
    WriteSetting(QStringLiteral("linkinfo"), QStringLiteral("userid"), QStringLiteral("demo"));
    QCOMPARE(LoadLoginSettings().userPass, QString());
}

void KeyringSettingsTest::anotherLoginNameTakesItsPasswordAlong()
{
    StoreLoginSettings(QStringLiteral("alice"), QStringLiteral("a-pass"), true, true);
    StoreLoginSettings(QStringLiteral("bob"), QStringLiteral("b-pass"), true, true);
    QCOMPARE(KeyringPassword(key(QStringLiteral("alice"))), QString());
    QCOMPARE(KeyringPassword(key(QStringLiteral("bob"))), KeyringExpected() ? "b-pass" : QString());
    const LoginSettings loaded = LoadLoginSettings();
    QCOMPARE(loaded.userId, QStringLiteral("bob"));
    QCOMPARE(loaded.userPass, QStringLiteral("b-pass"));
}

void KeyringSettingsTest::stuckKeyringKeepsTheFile()
{
    if (!KeyringExpected())
        QSKIP("needs the keyring daemon of a keyring session");
    StoreLoginSettings(QStringLiteral("demo"), QStringLiteral("old-pass"), true, true);
    QCOMPARE(KeyringPassword(key(QStringLiteral("demo"))), QStringLiteral("old-pass"));

    QVERIFY(PauseKeyringDaemon());
    const int limit = platform::SecretWaitLimitMs();
    platform::SetSecretWaitLimitMs(1000);
    QElapsedTimer clock;
    clock.start();
    StoreLoginSettings(QStringLiteral("demo"), QStringLiteral("new-pass"), true, true);
    const qint64 storeMs = clock.restart();
    const LoginSettings withFilePassword = LoadLoginSettings();
    WriteSetting(QStringLiteral("linkinfo"), QStringLiteral("userpass"), QString());
    clock.restart();
    const LoginSettings withoutFilePassword = LoadLoginSettings();
    const qint64 loadMs = clock.elapsed();
    QVERIFY(ResumeKeyringDaemon());
    platform::SetSecretWaitLimitMs(limit);
    // The jobs left waiting finish once the daemon runs again; later cases start after them.
    QVERIFY(platform::SecretStoreReachable());

    qInfo("stuck keyring: store %lld ms, load %lld ms with a 1000 ms limit", storeMs, loadMs);
    // Unanswered, the keyring would hold the client for the bus's own 25 s time-out.
    QVERIFY2(storeMs < 5000, qPrintable(QString::number(storeMs)));
    QVERIFY2(loadMs < 5000, qPrintable(QString::number(loadMs)));
    // Nothing is lost: the new password stayed in the file and is what the next start offers.
    QCOMPARE(withFilePassword.userPass, QStringLiteral("new-pass"));
    QCOMPARE(withoutFilePassword.userPass, QString());
}

QTEST_GUILESS_MAIN(KeyringSettingsTest)
#include "tst_keyringsettings.moc"
