#pragma once

#include <QString>

// What the login window keeps in the settings file, section "linkinfo".
struct LoginSettings
{
    QString webRoot;
    QString savePass;
    QString autoLogin;
    QString userId;
    QString userPass;
    // False when the file could be neither read nor created: every field is then empty.
    bool loaded = false;
};

// The web root a new settings file starts with.
QString DefaultWebRoot();

// Reads the five values, or creates the file with its six defaults on the first start.
LoginSettings LoadLoginSettings();

// After a successful login; only while the file exists.
void StoreLoginSettings(const QString &userId, const QString &userPass, bool savePass, bool autoLogin);

// The login window's cancel button: forget name and password, keep the two options.
void ClearStoredCredentials();

// The main window's "forget the login": name, password and both options.
void ClearLoginInformation();

// Only "1" switches an option on.
inline bool IsFlagOn(const QString &value)
{
    return value == QLatin1String("1");
}
