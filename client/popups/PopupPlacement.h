#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

// Where the pop-up windows go. Pure arithmetic on sizes and texts; the windows apply the result.

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

// The primary screen as the placement rules see it.
struct ScreenMetrics
{
    QSize desktop;  // the desktop window's rectangle
    QSize screen;   // the screen size from the system metrics
    QSize workArea; // the screen less the task bar; only its size is used
};

// The window's top-left centred on the desktop; never below 0.
QPoint CentredPosition(const QSize &desktop, const QSize &window);

// The window's top-left in the bottom-right corner of the work area: the task bar's thickness
// (screen less work area) is taken off the desktop's far edges; never below 0.
QPoint BottomRightPosition(const ScreenMetrics &metrics, const QSize &window);

// The window's geometry after the plan: size first, so the corner rule uses the new size. Sizes
// and edges are held within what a window can have, so nothing overflows.
QRect ApplyPopupGeometry(const PopupGeometryPlan &plan, const QRect &current, const ScreenMetrics &metrics);

// The script-requested geometry a pop-up applies at each navigation; -1 means "not asked for".
struct PendingGeometry
{
    int left = -1;
    int top = -1;
    int width = -1;
    int height = -1;
};

// The window's geometry with the pending values applied: each value of 0 or more, unless the
// four add up to -4.
QRect ApplyPendingGeometry(const PendingGeometry &pending, const QRect &current);

// The message sprite's rectangle on a screen of that size: 292 by 190, 10 pixels from the right
// edge and 40 above the bottom.
QRect SpriteGeometry(const QSize &screen);
