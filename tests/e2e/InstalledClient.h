#pragma once

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

// The programs as `cmake --install` lays them out in a scratch prefix, run as separate processes
// the way the menu entry starts them.
namespace InstalledClient {

// Installs the build into prefix; false with the installer's output in *log when it fails.
bool installInto(const QString &prefix, QString *log);

// The files an install must contain, relative to the prefix.
QStringList expectedFiles();

// Starts prefix/bin/sorvane (the per-user start script) with its own data folder and the upgrader's
// download host pointed at the portal.
void start(QProcess &process, const QString &prefix, const QString &dataHome, const QString &downloadBase);

// Logs in with what the login window's boxes hold, as a user does from the keyboard: activating the
// window puts the focus in the name box, Tab moves it to the password box, Enter there logs in.
bool loginWithEnter(const QString &loginWindow);

// Copies the portal's pages into target, each page named in `replaced` (a path under the web
// folder) taken from the other page given for it.
bool copyWebFiles(const QString &target, const QMap<QString, QString> &replaced);

} // namespace InstalledClient
