#include "displayplatform.h"

#include <QLoggingCategory>
#include <QtGlobal>

namespace platform {

DisplayChoice ChooseDisplayPlatform(const DisplaySession &session)
{
    if (!session.chosenPlatform.trimmed().isEmpty())
        return DisplayChoice::Leave;
    const bool wayland = !session.waylandDisplay.isEmpty() || session.sessionType == "wayland";
    if (!wayland)
        return DisplayChoice::Leave;
    return session.x11Display.isEmpty() ? DisplayChoice::NativeWayland : DisplayChoice::X11;
}

DisplayChoice PrepareDisplayPlatform()
{
    const DisplaySession session{qgetenv("QT_QPA_PLATFORM"), qgetenv("XDG_SESSION_TYPE"),
                                 qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY")};
    const DisplayChoice choice = ChooseDisplayPlatform(session);
    if (choice == DisplayChoice::X11) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else if (choice == DisplayChoice::NativeWayland) {
        // Moves and activation requests the compositor refuses are expected there, not faults; so
        // is the tray's X11 fallback finding no X11 signal to follow.
        QLoggingCategory::setFilterRules(
            QStringLiteral("qt.qpa.wayland*.warning=false\nqt.core.qobject.connect.warning=false"));
    }
    return choice;
}

} // namespace platform
