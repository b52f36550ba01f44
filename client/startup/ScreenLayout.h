#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// The monitors as the placement rules see them, in the toolkit's logical pixels. "The screen" of
// every rule is the primary monitor, wherever it lies on the desktop: centring, corners and work
// areas are its own, and positions that pages give count from its top-left corner.
struct ScreenArea
{
    QRect geometry; // the monitor's rectangle on the desktop
    QRect workArea; // the monitor less the panels on it
};

struct ScreenLayout
{
    QList<ScreenArea> screens; // the primary monitor first; empty when no screen is known

    // The primary monitor; an empty area when there is none.
    ScreenArea primary() const { return screens.value(0); }
    // The rectangle holding every monitor.
    QRect desktop() const;
};

// The top-left that centres a window of that size in the area; never left of or above the area.
QPoint CentredIn(const QRect &area, const QSize &window);

// What a window that a page moved or sized may be: never larger than the desktop, and with a part
// of its top band (100 by 30 pixels, or all of a smaller window) on some monitor's work area, so
// the user can see it and drag it back. A window that already has that keeps its place; otherwise
// it moves as little as it must. Without any known screen the rectangle is returned as it is.
QRect KeepUsable(const QRect &wanted, const ScreenLayout &layout);
