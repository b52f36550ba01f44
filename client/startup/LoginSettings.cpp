#include "LoginSettings.h"

#include "NavigationTrust.h"
#include "SettingsFile.h"
#include "buildconfig.h"
#include "platform/secretstore.h"

namespace {

const QString kSection = QStringLiteral("linkinfo");

// Every page address starts with it, so only a web address will do; anything else (a "file:" or
// "javascript:" text among them) is as unusable as a missing one.
QString StoredWebRoot()
{
    const QString stored = ReadSetting(kSection, QStringLiteral("webroot"), DefaultWebRoot());
    return IsLoadableAddress(stored) ? stored : DefaultWebRoot();
}

// Forgets the keyring's password of the login name the file holds now.
void ForgetStoredUsersSecret()
{
    const QString userId = ReadSetting(kSection, QStringLiteral("userid"), QString());
    if (!userId.isEmpty())
        platform::DeleteSecret(KeyringService(), KeyringKey(userId, StoredWebRoot()));
}

} // namespace

QString KeyringService()
{
    return QStringLiteral("clikw730");
}

QString KeyringKey(const QString &userId, const QString &webRoot)
{
    return userId + QLatin1Char('@') + webRoot;
}

QString DefaultWebRoot()
{
    return QStringLiteral(SORVANE_WEBROOT);
}

LoginSettings LoadLoginSettings()
{
    LoginSettings settings;
    if (SettingsFileExists()) {
        settings.webRoot = StoredWebRoot();
        settings.savePass = ReadSetting(kSection, QStringLiteral("savepass"), QStringLiteral("0"));
        settings.autoLogin = ReadSetting(kSection, QStringLiteral("aotologin"), QStringLiteral("0"));
        settings.userId = ReadSetting(kSection, QStringLiteral("userid"), QString());
        settings.userPass = ReadSetting(kSection, QStringLiteral("userpass"), QString());
        // A password still in the file (an older client, or no keyring when it was stored) wins:
        // the file only gives it up once the keyring holds it.
        if (settings.userPass.isEmpty() && IsFlagOn(settings.savePass) && !settings.userId.isEmpty()) {
            const platform::SecretLookup lookup =
                platform::ReadSecret(KeyringService(), KeyringKey(settings.userId, settings.webRoot));
            if (lookup.status == platform::SecretStatus::Found)
                settings.userPass = lookup.secret;
        }
        settings.loaded = true;
        return settings;
    }
    if (!CreateSettingsFile()) {
        // No file to work with: the run still needs a service to talk to.
        settings.webRoot = DefaultWebRoot();
        return settings;
    }
    WriteSetting(kSection, QStringLiteral("webroot"), DefaultWebRoot());
    WriteSetting(kSection, QStringLiteral("savepass"), QStringLiteral("0"));
    WriteSetting(kSection, QStringLiteral("aotologin"), QStringLiteral("0"));
    WriteSetting(kSection, QStringLiteral("userid"), QString());
    WriteSetting(kSection, QStringLiteral("userpass"), QString());
    WriteSetting(kSection, QStringLiteral("userrole"), QString());
    settings.webRoot = DefaultWebRoot();
    settings.savePass = QStringLiteral("0");
    settings.autoLogin = QStringLiteral("0");
    settings.loaded = true;
    return settings;
}

void StoreLoginSettings(const QString &userId, const QString &userPass, bool savePass, bool autoLogin)
{
    if (!SettingsFileExists())
        return;
    // Another login name's remembered password goes with it.
    if (ReadSetting(kSection, QStringLiteral("userid"), QString()) != userId)
        ForgetStoredUsersSecret();
    const QString key = KeyringKey(userId, StoredWebRoot());
    WriteSetting(kSection, QStringLiteral("userid"), userId);
    if (savePass) {
        const bool inKeyring = !userId.isEmpty() && platform::WriteSecret(KeyringService(), key, userPass);
        WriteSetting(kSection, QStringLiteral("userpass"), inKeyring ? QString() : userPass);
        WriteSetting(kSection, QStringLiteral("savepass"), QStringLiteral("1"));
        // Without the auto-login box the stored option keeps its value.
        if (autoLogin)
            WriteSetting(kSection, QStringLiteral("aotologin"), QStringLiteral("1"));
    } else {
        if (!userId.isEmpty())
            platform::DeleteSecret(KeyringService(), key);
        WriteSetting(kSection, QStringLiteral("userpass"), QString());
        WriteSetting(kSection, QStringLiteral("savepass"), QStringLiteral("0"));
        WriteSetting(kSection, QStringLiteral("aotologin"), QStringLiteral("0"));
    }
}

void ClearStoredCredentials()
{
    if (SettingsFileExists())
        ForgetStoredUsersSecret();
    WriteSetting(kSection, QStringLiteral("userid"), QString());
    WriteSetting(kSection, QStringLiteral("userpass"), QString());
}

void ClearLoginInformation()
{
    if (SettingsFileExists())
        ForgetStoredUsersSecret();
    WriteSetting(kSection, QStringLiteral("userid"), QString());
    WriteSetting(kSection, QStringLiteral("userpass"), QString());
    WriteSetting(kSection, QStringLiteral("savepass"), QStringLiteral("0"));
    WriteSetting(kSection, QStringLiteral("aotologin"), QStringLiteral("0"));
}
