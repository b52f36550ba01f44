#include "ScreenLayout.h"

#include <algorithm>
#include <limits>

namespace {

// The usable part a moved window keeps on a work area.
constexpr int kUsableWidth = 100;
constexpr int kUsableHeight = 30;

// The nearest top-left to `wanted` for which the window's top band overlaps `area` enough.
QPoint nearestUsable(const QRect &wanted, const QRect &area)
{
    const int needWidth = std::min({kUsableWidth, wanted.width(), area.width()});
    const int band = std::min({kUsableHeight, wanted.height(), area.height()});
    const int leftMost = area.left() - wanted.width() + needWidth;
    const int rightMost = area.left() + area.width() - needWidth;
    const int bottomMost = area.top() + area.height() - band;
    return QPoint(std::clamp(wanted.left(), leftMost, rightMost),
                  std::clamp(wanted.top(), area.top(), bottomMost));
}

} // namespace

QRect ScreenLayout::desktop() const
{
    QRect all;
    for (const ScreenArea &screen : screens)
        all |= screen.geometry;
    return all;
}

QPoint CentredIn(const QRect &area, const QSize &window)
{
    // A window larger than the area keeps its top-left edge in it, as in the corner rules.
    return area.topLeft() + QPoint(std::max((area.width() - window.width()) / 2, 0),
                                   std::max((area.height() - window.height()) / 2, 0));
}

QRect KeepUsable(const QRect &wanted, const ScreenLayout &layout)
{
    const QRect desktop = layout.desktop();
    if (desktop.isEmpty())
        return wanted;
    QRect result(wanted.topLeft(), wanted.size().boundedTo(desktop.size()));

    // The work areas in order, the primary's first: the first that needs no move, else the least move.
    QPoint best = result.topLeft();
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (const ScreenArea &screen : layout.screens) {
        if (screen.workArea.isEmpty())
            continue;
        const QPoint place = nearestUsable(result, screen.workArea);
        const qint64 distance =
            qAbs(qint64(place.x()) - result.left()) + qAbs(qint64(place.y()) - result.top());
        if (distance < bestDistance) {
            bestDistance = distance;
            best = place;
        }
    }
    result.moveTopLeft(best);
    return result;
}
