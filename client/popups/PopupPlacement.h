#pragma once

#include "ScreenLayout.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

// Where the pop-up windows go. Pure arithmetic on rectangles and texts; the windows apply the result.

enum class PopupPlacement {
    Edges,       // numeric left and top, each only when given
    Centre,      // the centre of the screen
    BottomRight, // the bottom-right corner of the work area
};

// What an open-window command asks of the window's size and place.
struct PopupGeometryPlan
{
    std::optional<int> width;
    std::optional<int> height;
    PopupPlacement placement = PopupPlacement::Edges;
    std::optional<int> left; // Edges only
    std::optional<int> top;  // Edges only
};

// Reads the four parameter texts. A placement keyword counts wherever it stands in the four texts
// joined, in any letter case; a value that is not a whole number is ignored and the rest of the
// command still applies.
PopupGeometryPlan PlanPopupGeometry(const QString &left, const QString &top, const QString &width,
                                    const QString &height);

// Where a new plain pop-up stands before a command places it: centred on the primary monitor,
// so a command that gives only one edge leaves the other one there.
QRect PopupStartGeometry(const QSize &size, const ScreenLayout &layout);

// The window's top-left in the bottom-right corner of the primary monitor: the panels' thickness
// (monitor less work area) is taken off its far edges; never left of or above the monitor.
QPoint BottomRightPosition(const ScreenLayout &layout, const QSize &window);

// The window's geometry after the plan: size first, so the corner rule uses the new size; numeric
// edges count from the primary monitor's top-left. The result is kept usable (KeepUsable).
QRect ApplyPopupGeometry(const PopupGeometryPlan &plan, const QRect &current, const ScreenLayout &layout);

// The script-requested geometry a pop-up applies at each navigation; -1 means "not asked for".
struct PendingGeometry
{
    int left = -1;
    int top = -1;
    int width = -1;
    int height = -1;
};

// The window's geometry with the pending values applied: each value of 0 or more, unless the
// four add up to -4. Edges count from the primary monitor's top-left; the result is kept usable.
QRect ApplyPendingGeometry(const PendingGeometry &pending, const QRect &current, const ScreenLayout &layout);

// The message sprite's rectangle on that screen: 292 by 190, 10 pixels from the right edge and 40
// above the bottom.
QRect SpriteGeometry(const QRect &screen);
