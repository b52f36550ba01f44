#pragma once

#include <QString>

// What the login window keeps in the settings file, section "linkinfo". When the session has a
// keyring, the remembered password lives there instead of in "userpass"; `userPass` is the
// remembered password wherever it lives.
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

// The keyring entry of a remembered password: one per login name and service address, so two
// settings files for different services never share a password.
QString KeyringService();
QString KeyringKey(const QString &userId, const QString &webRoot);

// Reads the five values, or creates the file with its six defaults on the first start. A web root
// that is no http or https address reads as the default one.
LoginSettings LoadLoginSettings();

// After a successful login; only while the file exists. A remembered password goes into the
// keyring; "userpass" is emptied only once the keyring has confirmed it, otherwise it keeps it.
void StoreLoginSettings(const QString &userId, const QString &userPass, bool savePass, bool autoLogin);

// The login window's cancel button: forget name and password (file and keyring), keep the two
// options.
void ClearStoredCredentials();

// The main window's "forget the login": name, password (file and keyring) and both options.
void ClearLoginInformation();

// Only "1" switches an option on.
inline bool IsFlagOn(const QString &value)
{
    return value == QLatin1String("1");
}
