#include "LoginSettings.h"

#include "SettingsFile.h"
#include "buildconfig.h"

namespace {

const QString kSection = QStringLiteral("linkinfo");

} // namespace

QString DefaultWebRoot()
{
    return QStringLiteral(SORVANE_WEBROOT);
}

LoginSettings LoadLoginSettings()
{
    LoginSettings settings;
    if (SettingsFileExists()) {
        settings.webRoot = ReadSetting(kSection, QStringLiteral("webroot"), DefaultWebRoot());
        settings.savePass = ReadSetting(kSection, QStringLiteral("savepass"), QStringLiteral("0"));
        settings.autoLogin = ReadSetting(kSection, QStringLiteral("aotologin"), QStringLiteral("0"));
        settings.userId = ReadSetting(kSection, QStringLiteral("userid"), QString());
        settings.userPass = ReadSetting(kSection, QStringLiteral("userpass"), QString());
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
    WriteSetting(kSection, QStringLiteral("userid"), userId);
    if (savePass) {
        WriteSetting(kSection, QStringLiteral("userpass"), userPass);
        WriteSetting(kSection, QStringLiteral("savepass"), QStringLiteral("1"));
        // Without the auto-login box the stored option keeps its value.
        if (autoLogin)
            WriteSetting(kSection, QStringLiteral("aotologin"), QStringLiteral("1"));
    } else {
        WriteSetting(kSection, QStringLiteral("userpass"), QString());
        WriteSetting(kSection, QStringLiteral("savepass"), QStringLiteral("0"));
        WriteSetting(kSection, QStringLiteral("aotologin"), QStringLiteral("0"));
    }
}

void ClearStoredCredentials()
{
    WriteSetting(kSection, QStringLiteral("userid"), QString());
    WriteSetting(kSection, QStringLiteral("userpass"), QString());
}

void ClearLoginInformation()
{
    WriteSetting(kSection, QStringLiteral("userid"), QString());
    WriteSetting(kSection, QStringLiteral("userpass"), QString());
    WriteSetting(kSection, QStringLiteral("savepass"), QStringLiteral("0"));
    WriteSetting(kSection, QStringLiteral("aotologin"), QStringLiteral("0"));
}
