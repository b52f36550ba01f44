#include "IniText.h"
#include "LoginSettings.h"
#include "SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Every case runs in its own empty working directory, as a client started there would.
class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void iniRead_data();
    void iniRead();
    void iniWriteKeepsOtherLines();

    void firstStartCreatesDefaults();
    void loadReadsExistingFile();
    void storeAfterLogin_data();
    void storeAfterLogin();
    void clearingCredentials();
    void deletedFileIsNotRecreated();
    void settingsFollowTheWorkingDirectory();
    void writeKeepsPermissionsAndSparesReadOnlyFiles();
    void fileKeepsItsCodePage_data();
    void fileKeepsItsCodePage();
    void filesNotOursStayAsTheyWere_data();
    void filesNotOursStayAsTheyWere();
    void unusableFileStillGivesAWebRoot();
    void webRootIsAWebAddress_data();
    void webRootIsAWebAddress();

private:
    static QByteArray fileText();
    static void writeFile(const QByteArray &text);

    QTemporaryDir *m_dir = nullptr;
    QString m_previous;
};

void SettingsTest::init()
{
    m_previous = QDir::currentPath();
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void SettingsTest::cleanup()
{
    QDir::setCurrent(m_previous);
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    delete m_dir;
    m_dir = nullptr;
}

QByteArray SettingsTest::fileText()
{
    QFile file(SettingsPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SettingsTest::writeFile(const QByteArray &text)
{
    QFile file(SettingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

void SettingsTest::iniRead_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    const QByteArray text =
        "[linkinfo]\r\nwebroot = http://a\r\nUserId=\"张三\"\r\n[exepara]\r\nskin=blue\r\n";
    QTest::newRow("trimmed") << text << "linkinfo"
                             << "webroot"
                             << "http://a";
    QTest::newRow("key case ignored, quotes removed") << text << "LinkInfo"
                                                      << "userid" << QStringLiteral("张三");
    QTest::newRow("other section") << text << "exepara"
                                   << "skin"
                                   << "blue";
    QTest::newRow("key of another section") << text << "linkinfo"
                                            << "skin"
                                            << "<default>";
    QTest::newRow("missing section") << text << "nothing"
                                     << "skin"
                                     << "<default>";
    QTest::newRow("empty text") << QByteArray() << "linkinfo"
                                << "webroot"
                                << "<default>";
    QTest::newRow("garbage") << QByteArray("\x00\xff[[=\n==\n]", 10) << "linkinfo"
                             << "webroot"
                             << "<default>";
    QTest::newRow("empty value is a value") << QByteArray("[a]\nk=\n") << "a"
                                            << "k"
                                            << "";
}

void SettingsTest::iniRead()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QCOMPARE(IniRead(text, section, key, QStringLiteral("<default>")), value);
}

void SettingsTest::iniWriteKeepsOtherLines()
{
    QByteArray text = "; note\n[linkinfo]\nuserid=a\n\n[other]\nx=1\n";
    text = IniWrite(text, "linkinfo", "USERID", "b");
    text = IniWrite(text, "linkinfo", "userpass", "p=q");
    text = IniWrite(text, "exepara", "skin", "line\nbreak");
    QCOMPARE(IniRead(text, "linkinfo", "userid", ""), QStringLiteral("b"));
    QCOMPARE(IniRead(text, "linkinfo", "userpass", ""), QStringLiteral("p=q"));
    QCOMPARE(IniRead(text, "other", "x", ""), QStringLiteral("1"));
    QCOMPARE(IniRead(text, "exepara", "skin", ""), QStringLiteral("line break"));
    QVERIFY(text.startsWith("; note\n[linkinfo]\n"));
    // The new key joins its own section, not the one after it.
    QVERIFY(text.indexOf("userpass") < text.indexOf("[other]"));
    QCOMPARE(text.count("[linkinfo]"), 1);
}

void SettingsTest::firstStartCreatesDefaults()
{
    const LoginSettings settings = LoadLoginSettings();
    QVERIFY(settings.loaded);
    QCOMPARE(settings.webRoot, DefaultWebRoot());
    QCOMPARE(settings.savePass, QStringLiteral("0"));
    QCOMPARE(settings.autoLogin, QStringLiteral("0"));
    QVERIFY(settings.userId.isEmpty() && settings.userPass.isEmpty());

    const QByteArray text = fileText();
    for (const char *key : {"webroot", "savepass", "aotologin", "userid", "userpass", "userrole"})
        QVERIFY2(text.contains(QByteArray(key) + '='), key);
    QCOMPARE(ReadSetting("linkinfo", "webroot", ""), DefaultWebRoot());
    // It will hold a password: nobody but its owner may read it.
    QCOMPARE(QFile::permissions(SettingsPath()) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
}

void SettingsTest::loadReadsExistingFile()
{
    writeFile(
        "[linkinfo]\nwebroot=http://127.0.0.9:1\nsavepass=yes\naotologin=1\nuserid=李四\nuserpass=p&#+ 中\n");
    const LoginSettings settings = LoadLoginSettings();
    QCOMPARE(settings.webRoot, QStringLiteral("http://127.0.0.9:1"));
    QVERIFY(!IsFlagOn(settings.savePass)); // only "1" counts
    QVERIFY(IsFlagOn(settings.autoLogin));
    QCOMPARE(settings.userId, QStringLiteral("李四"));
    QCOMPARE(settings.userPass, QStringLiteral("p&#+ 中"));
    // Reading changes nothing.
    QVERIFY(!fileText().contains("userrole"));
}

void SettingsTest::storeAfterLogin_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<bool>("savePass");
    QTest::addColumn<bool>("autoLogin");
    QTest::addColumn<QString>("userPass");
    QTest::addColumn<QString>("storedSave");
    QTest::addColumn<QString>("storedAuto");
    const QByteArray both = "[linkinfo]\nsavepass=1\naotologin=1\n";
    const QByteArray none = "[linkinfo]\nsavepass=0\naotologin=0\n";
    QTest::newRow("both ticked") << none << true << true << "pw"
                                 << "1"
                                 << "1";
    QTest::newRow("only remember keeps auto on") << both << true << false << "pw"
                                                 << "1"
                                                 << "1";
    QTest::newRow("only remember keeps auto off") << none << true << false << "pw"
                                                  << "1"
                                                  << "0";
    QTest::newRow("not remembered clears both") << both << false << true << ""
                                                << "0"
                                                << "0";
}

void SettingsTest::storeAfterLogin()
{
    QFETCH(QByteArray, before);
    QFETCH(bool, savePass);
    QFETCH(bool, autoLogin);
    QFETCH(QString, userPass);
    QFETCH(QString, storedSave);
    QFETCH(QString, storedAuto);
    writeFile(before);
    StoreLoginSettings(QStringLiteral("王五"), QStringLiteral("pw"), savePass, autoLogin);
    QCOMPARE(ReadSetting("linkinfo", "userid", "?"), QStringLiteral("王五"));
    QCOMPARE(ReadSetting("linkinfo", "userpass", "?"), userPass);
    QCOMPARE(ReadSetting("linkinfo", "savepass", "?"), storedSave);
    QCOMPARE(ReadSetting("linkinfo", "aotologin", "?"), storedAuto);
}

void SettingsTest::clearingCredentials()
{
    writeFile("[linkinfo]\nsavepass=1\naotologin=1\nuserid=a\nuserpass=b\n");
    ClearStoredCredentials();
    QCOMPARE(ReadSetting("linkinfo", "userid", "?"), QString());
    QCOMPARE(ReadSetting("linkinfo", "userpass", "?"), QString());
    QCOMPARE(ReadSetting("linkinfo", "savepass", "?"), QStringLiteral("1"));
    QCOMPARE(ReadSetting("linkinfo", "aotologin", "?"), QStringLiteral("1"));

    ClearLoginInformation();
    QCOMPARE(ReadSetting("linkinfo", "savepass", "?"), QStringLiteral("0"));
    QCOMPARE(ReadSetting("linkinfo", "aotologin", "?"), QStringLiteral("0"));
}

void SettingsTest::deletedFileIsNotRecreated()
{
    LoadLoginSettings();
    QVERIFY(QFile::remove(SettingsPath()));
    StoreLoginSettings("a", "b", true, true);
    QVERIFY(!WriteSetting("exepara", "skin", "blue"));
    ClearStoredCredentials();
    ClearLoginInformation();
    QVERIFY(!SettingsFileExists());
    // Only the next start creates it again.
    LoadLoginSettings();
    QVERIFY(SettingsFileExists());
}

void SettingsTest::settingsFollowTheWorkingDirectory()
{
    LoadLoginSettings();
    QVERIFY(WriteSetting("exepara", "skin", "red"));
    QVERIFY(QDir().mkdir("elsewhere"));
    QVERIFY(QDir::setCurrent("elsewhere"));
    QVERIFY(!SettingsFileExists());
    LoadLoginSettings();
    QVERIFY(SettingsFileExists());
    QCOMPARE(ReadSetting("exepara", "skin", "none"), QStringLiteral("none"));
}

void SettingsTest::writeKeepsPermissionsAndSparesReadOnlyFiles()
{
    LoadLoginSettings();
    const QFileDevice::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    QVERIFY(QFile::setPermissions(SettingsPath(), ownerOnly));
    QVERIFY(WriteSetting("linkinfo", "userid", "x"));
    const QFileDevice::Permissions after = QFile::permissions(SettingsPath());
    QCOMPARE(after & 0x7000, ownerOnly);
    QCOMPARE(after & 0x0077, QFileDevice::Permissions());
}

void SettingsTest::fileKeepsItsCodePage_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("userid"); // written
    QTest::addColumn<QByteArray>("after");

    // "张三" and "蓝色" as a Chinese Windows system writes them (code page 936).
    const QByteArray gbk("[linkinfo]\r\nuserid=\xd5\xc5\xc8\xfd\r\n[exepara]\r\nskin=\xc0\xb6\xc9\xab\r\n");
    QTest::newRow("code page 936 stays so")
        << gbk << QStringLiteral("李四")
        << QByteArray("[linkinfo]\r\nuserid=\xc0\xee\xcb\xc4\r\n[exepara]\r\nskin=\xc0\xb6\xc9\xab\r\n");
    // Beyond what the code page holds: GB18030's four-byte form keeps it.
    QTest::newRow("a character the code page lacks")
        << gbk << QStringLiteral("😀")
        << QByteArray("[linkinfo]\r\nuserid=\x94\x39\xfc\x36\r\n[exepara]\r\nskin=\xc0\xb6\xc9\xab\r\n");
    QTest::newRow("UTF-8 stays so")
        << QStringLiteral("[linkinfo]\nuserid=张三\n[exepara]\nskin=蓝色\n").toUtf8()
        << QStringLiteral("李四")
        << QStringLiteral("[linkinfo]\nuserid=李四\n[exepara]\nskin=蓝色\n").toUtf8();
}

void SettingsTest::fileKeepsItsCodePage()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, userid);
    QFETCH(QByteArray, after);
    writeFile(before);
    QVERIFY(QFile::setPermissions(SettingsPath(), QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(ReadSetting("linkinfo", "userid", "?"), QStringLiteral("张三"));
    QCOMPARE(ReadSetting("exepara", "skin", "?"), QStringLiteral("蓝色"));
    QVERIFY(WriteSetting("linkinfo", "userid", userid));
    QCOMPARE(fileText(), after);
    QCOMPARE(ReadSetting("linkinfo", "userid", "?"), userid);
    QCOMPARE(QFile::permissions(SettingsPath()) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
}

void SettingsTest::filesNotOursStayAsTheyWere_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("userid"); // as read back

    const QByteArray ours("[linkinfo]\r\nUSERID = kept\r\n");
    // Rewriting would turn the lone CR and the LF of the binary tail into CRLF lines.
    QTest::newRow("NUL bytes after the values")
        << ours + QByteArray("\x00\x01\r\xff\n\x00tail", 11) << false << "kept";
    QTest::newRow("larger than 1 MiB") << ours + QByteArray(1 << 20, ';') << false << "?";
    // Also for root, whom the system would let write.
    QTest::newRow("marked read-only") << ours << true << "kept";
}

void SettingsTest::filesNotOursStayAsTheyWere()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, readOnly);
    writeFile(text);
    if (readOnly)
        QVERIFY(QFile::setPermissions(SettingsPath(), QFile::ReadOwner | QFile::ReadGroup));
    QVERIFY(!WriteSetting("linkinfo", "userid", "new"));
    StoreLoginSettings("new", "pw", true, true);
    ClearLoginInformation();
    QCOMPARE(fileText(), text);
    QTEST(ReadSetting("linkinfo", "userid", "?"), "userid");
    if (readOnly)
        QCOMPARE(QFile::permissions(SettingsPath()) & 0x7077, QFile::ReadOwner | QFile::ReadGroup);
}

void SettingsTest::unusableFileStillGivesAWebRoot()
{
    // A folder where the file should be: nothing can be read or created.
    QVERIFY(QDir().mkdir("mainkw.ini"));
    const LoginSettings settings = LoadLoginSettings();
    QVERIFY(!settings.loaded);
    QCOMPARE(settings.webRoot, DefaultWebRoot());
    QVERIFY(!WriteSetting("linkinfo", "userid", "x"));
    QVERIFY(QFileInfo("mainkw.ini").isDir());
}

void SettingsTest::webRootIsAWebAddress_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("kept");
    QTest::newRow("https with a port") << QByteArray("https://svc.example:8443") << true;
    QTest::newRow("file") << QByteArray("file:///") << false;
    QTest::newRow("javascript") << QByteArray("javascript:alert(1)//") << false;
    QTest::newRow("data") << QByteArray("data:text/html,x") << false;
    QTest::newRow("ftp") << QByteArray("ftp://127.0.0.1") << false;
    QTest::newRow("no scheme") << QByteArray("127.0.0.1:17300") << false;
}

void SettingsTest::webRootIsAWebAddress()
{
    QFETCH(QByteArray, stored);
    QFETCH(bool, kept);
    writeFile("[linkinfo]\nwebroot=" + stored + "\n");
    QCOMPARE(LoadLoginSettings().webRoot, kept ? QString::fromUtf8(stored) : DefaultWebRoot());
    // The file keeps what it holds.
    QCOMPARE(ReadSetting("linkinfo", "webroot", ""), QString::fromUtf8(stored));
}

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
