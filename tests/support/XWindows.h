#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

// The X server's view of windows, for tests that check a program from outside (xdotool).
namespace xwindows {

// Runs xdotool; this program's events keep flowing meanwhile, as a window of its own may have to
// answer. True when xdotool succeeded within 10 s.
bool xdotool(const QStringList &arguments);
// Input as a keyboard and a mouse give it, to whatever window has the focus or is under the pointer.
bool typeText(const QString &text);
bool pressKey(const QString &name);
bool clickAt(const QPoint &global, int button = 1);

// Ids of the mapped windows whose title matches the regular expression `title`.
QStringList visible(const QString &title);
// Waits until one such window is mapped; its id, or empty after `ms`.
QString waitFor(const QString &title, int ms = 15000);
// Ids of the mapped windows of a program, by the instance name of their class (e.g. "clikw730"):
// also those with no title the X server can match, such as menus.
QStringList visibleOf(const QString &program);
// Waits until a window of the program is mapped that is not one of `known` (what visibleOf() gave
// before); its id, or empty after `ms`.
QString waitForNewOf(const QString &program, const QStringList &known, int ms = 15000);
// Waits until no such window is mapped.
bool waitGone(const QString &title, int ms = 15000);
QRect geometry(const QString &id);
// Screen rectangles of every window with exactly this name, however deep in the tree and whether
// or not it counts as mapped (a tray icon lives inside the panel's tray).
QList<QRect> everyWindowNamed(const QString &name);
// Makes the window the active one; false if the window manager has not done so within `ms`.
bool activate(const QString &id, int ms = 10000);
// The text xprop gives for one property of a window ("root" for the root window), e.g.
// "WM_STATE(WM_STATE):\n\t\twindow state: Iconic\n...".
QString property(const QString &id, const QString &name);
// Iconic (minimised) in the window manager's own record of the window.
bool isIconic(const QString &id);
// What a task bar lists: a normal window (or dialog) that does not ask to be skipped.
bool hasTaskBarEntry(const QString &id);
// The desktop less panels, as the window manager publishes it; the whole root window without one.
QRect workArea();
// Asks the window manager to close the window (_NET_CLOSE_WINDOW), as a task bar's close entry
// does; the program gets a close request of the window system.
bool requestClose(const QString &id);
// Activates the window and sends it a key, e.g. "Return"; false if it could not be activated.
bool sendKey(const QString &id, const QString &key);

} // namespace xwindows
