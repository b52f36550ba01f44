#pragma once

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

// Types text into the focused window, as a keyboard does.
bool type(const QString &text);
bool key(const QString &name);
// Moves the pointer to an absolute screen position and clicks a button (1 left, 3 right).
bool clickAt(int x, int y, int button = 1);

} // namespace InstalledClient
