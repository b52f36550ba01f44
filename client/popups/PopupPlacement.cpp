#include "PopupPlacement.h"

#include <algorithm>

namespace {

// Empty text means "not given"; anything else must be a decimal whole number to count.
std::optional<int> wholeNumber(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// A page may ask for any number; windows are never larger than this (Qt's own widget limit), and
// no edge lies further out, so no rectangle arithmetic can overflow.
constexpr int kLargest = 16777215;

int boundedSize(int value)
{
    return std::clamp(value, 0, kLargest);
}

int boundedEdge(int value)
{
    return std::clamp(value, -kLargest, kLargest);
}

bool isBottomRightKeyword(const QString &joined)
{
    return joined.contains(QLatin1String("right_bottom")) || joined.contains(QLatin1String("rightbottom")) ||
           joined.contains(QLatin1String("youxia")) || joined.contains(QLatin1String("you_xia"));
}

} // namespace

PopupGeometryPlan PlanPopupGeometry(const QString &left, const QString &top, const QString &width,
                                    const QString &height)
{
    PopupGeometryPlan plan;
    plan.width = wholeNumber(width);
    plan.height = wholeNumber(height);

    const QString joined = (left + top + width + height).toLower();
    if (joined.contains(QLatin1String("center"))) {
        plan.placement = PopupPlacement::Centre;
    } else if (isBottomRightKeyword(joined)) {
        plan.placement = PopupPlacement::BottomRight;
    } else {
        plan.placement = PopupPlacement::Edges;
        plan.left = wholeNumber(left);
        plan.top = wholeNumber(top);
    }
    return plan;
}

QRect PopupStartGeometry(const QSize &size, const ScreenLayout &layout)
{
    return QRect(CentredIn(layout.primary().geometry, size), size);
}

QPoint BottomRightPosition(const ScreenLayout &layout, const QSize &window)
{
    const ScreenArea primary = layout.primary();
    const QRect &screen = primary.geometry;
    const int panelWidth = screen.width() - primary.workArea.width();
    const int panelHeight = screen.height() - primary.workArea.height();
    const int left = screen.width() - window.width() - panelWidth;
    const int top = screen.height() - window.height() - panelHeight;
    return screen.topLeft() + QPoint(std::max(left, 0), std::max(top, 0));
}

QRect ApplyPopupGeometry(const PopupGeometryPlan &plan, const QRect &current, const ScreenLayout &layout)
{
    QRect result = current;
    if (plan.width)
        result.setWidth(boundedSize(*plan.width));
    if (plan.height)
        result.setHeight(boundedSize(*plan.height));
    // Placed with the size it will keep.
    result = KeepUsable(result, layout);

    // Positions from pages count from the primary monitor's top-left corner.
    const QPoint origin = layout.primary().geometry.topLeft();
    switch (plan.placement) {
    case PopupPlacement::Centre:
        result.moveTopLeft(CentredIn(layout.primary().geometry, result.size()));
        break;
    case PopupPlacement::BottomRight:
        result.moveTopLeft(BottomRightPosition(layout, result.size()));
        break;
    case PopupPlacement::Edges:
        if (plan.left)
            result.moveLeft(boundedEdge(origin.x() + boundedEdge(*plan.left)));
        if (plan.top)
            result.moveTop(boundedEdge(origin.y() + boundedEdge(*plan.top)));
        break;
    }
    return KeepUsable(result, layout);
}

QRect ApplyPendingGeometry(const PendingGeometry &pending, const QRect &current, const ScreenLayout &layout)
{
    // Wide enough that four large reports cannot overflow.
    const qint64 sum = qint64(pending.left) + pending.top + pending.width + pending.height;
    if (sum == -4)
        return current;
    QRect result = current;
    if (pending.width >= 0)
        result.setWidth(boundedSize(pending.width));
    if (pending.height >= 0)
        result.setHeight(boundedSize(pending.height));
    // Positions from pages count from the primary monitor's top-left corner.
    const QPoint origin = layout.primary().geometry.topLeft();
    if (pending.left >= 0)
        result.moveLeft(boundedEdge(origin.x() + boundedEdge(pending.left)));
    if (pending.top >= 0)
        result.moveTop(boundedEdge(origin.y() + boundedEdge(pending.top)));
    return KeepUsable(result, layout);
}

QRect SpriteGeometry(const QRect &screen)
{
    const int width = 292;
    const int height = 190;
    return QRect(screen.left() + screen.width() - width - 10, screen.top() + screen.height() - height - 40,
                 width, height);
}
