#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

// The X server's view of windows, for tests that check a program from outside (xdotool).
namespace xwindows {

// Ids of the mapped windows whose title matches the regular expression `title`.
QStringList visible(const QString &title);
// Waits until one such window is mapped; its id, or empty after `ms`.
QString waitFor(const QString &title, int ms = 15000);
// Waits until no such window is mapped.
bool waitGone(const QString &title, int ms = 15000);
QRect geometry(const QString &id);
// Screen rectangles of every window with exactly this name, however deep in the tree and whether
// or not it counts as mapped (a tray icon lives inside the panel's tray).
QList<QRect> everyWindowNamed(const QString &name);
// Makes the window the active one; false if the window manager has not done so within `ms`.
bool activate(const QString &id, int ms = 10000);
// Activates the window and sends it a key, e.g. "Return"; false if it could not be activated.
bool sendKey(const QString &id, const QString &key);

} // namespace xwindows
