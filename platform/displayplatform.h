#pragma once

#include <QByteArray>

namespace platform {

// What the session offers, as the environment tells it.
struct DisplaySession
{
    QByteArray chosenPlatform; // QT_QPA_PLATFORM: the user's own choice wins
    QByteArray sessionType;    // XDG_SESSION_TYPE
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
    QByteArray x11Display;     // DISPLAY: set when an X server (Xwayland) is there
};

enum class DisplayChoice {
    Leave,         // not a Wayland session, or the user chose: Qt picks as usual
    X11,           // Wayland session with Xwayland: run on X so windows can place themselves
    NativeWayland, // Wayland only: the compositor places the windows
};

DisplayChoice ChooseDisplayPlatform(const DisplaySession &session);

// Reads the environment and, before the application object exists, applies the choice: X11 under
// Xwayland; on Wayland alone, Qt's notes that placement is up to the compositor are silenced.
DisplayChoice PrepareDisplayPlatform();

} // namespace platform
