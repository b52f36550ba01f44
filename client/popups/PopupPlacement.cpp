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

QPoint CentredPosition(const QSize &desktop, const QSize &window)
{
    // A window larger than the desktop keeps its top-left edge on screen, as in the corner rule.
    return QPoint(std::max((desktop.width() - window.width()) / 2, 0),
                  std::max((desktop.height() - window.height()) / 2, 0));
}

QPoint BottomRightPosition(const ScreenMetrics &metrics, const QSize &window)
{
    const int taskBarWidth = metrics.screen.width() - metrics.workArea.width();
    const int taskBarHeight = metrics.screen.height() - metrics.workArea.height();
    const int left = metrics.desktop.width() - window.width() - taskBarWidth;
    const int top = metrics.desktop.height() - window.height() - taskBarHeight;
    return QPoint(std::max(left, 0), std::max(top, 0));
}

QRect ApplyPopupGeometry(const PopupGeometryPlan &plan, const QRect &current, const ScreenMetrics &metrics)
{
    QRect result = current;
    if (plan.width)
        result.setWidth(boundedSize(*plan.width));
    if (plan.height)
        result.setHeight(boundedSize(*plan.height));

    switch (plan.placement) {
    case PopupPlacement::Centre:
        result.moveTopLeft(CentredPosition(metrics.desktop, result.size()));
        break;
    case PopupPlacement::BottomRight:
        result.moveTopLeft(BottomRightPosition(metrics, result.size()));
        break;
    case PopupPlacement::Edges:
        if (plan.left)
            result.moveLeft(boundedEdge(*plan.left));
        if (plan.top)
            result.moveTop(boundedEdge(*plan.top));
        break;
    }
    return result;
}

QRect ApplyPendingGeometry(const PendingGeometry &pending, const QRect &current)
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
    if (pending.left >= 0)
        result.moveLeft(boundedEdge(pending.left));
    if (pending.top >= 0)
        result.moveTop(boundedEdge(pending.top));
    return result;
}

QRect SpriteGeometry(const QSize &screen)
{
    const int width = 292;
    const int height = 190;
    return QRect(screen.width() - width - 10, screen.height() - height - 40, width, height);
}
