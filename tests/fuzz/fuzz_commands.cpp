#include "PopupCommands.h"
#include "PopupPlacement.h"
#include "client/mainwindow/MainCommands.h"
#include "client/mainwindow/PageWindowRules.h"

#include <QString>

#include <cstddef>
#include <cstdint>

// Every command interpreter on arbitrary URLs, with the placement the open-window command asks
// for: no crash, no hang, placements stay on or right of the screen's left and top edges.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString url = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));

    const QList<PopupEffect> effects = InterpretPopupCommand(url);
    CancelsNavigation(effects);
    const OpenWindowRequest request = ReadOpenWindowRequest(url);
    Q_UNUSED(request);
    InterpretLinkPopupCommand(url);
    SpriteClosesFor(url);
    InterpretHeadUrl(url);
    InterpretBodyUrl(url, QStringLiteral("http://127.0.0.1/"));
    SkinOfRequest(SkinRequestUrl(url, 12345, QStringLiteral("12:00:00")));
    TabTitleFor(url);

    const int cut = url.size() / 4;
    const PopupGeometryPlan plan =
        PlanPopupGeometry(url.left(cut), url.mid(cut, cut), url.mid(2 * cut, cut), url.mid(3 * cut));
    // Two monitors, the primary on the right: whatever the page asks, the window stays usable.
    const ScreenLayout screens{{{QRect(1280, 0, 1920, 1200), QRect(1280, 0, 1920, 1176)},
                                {QRect(0, 0, 1280, 1024), QRect(0, 0, 1280, 1024)}}};
    const QRect placed = ApplyPopupGeometry(plan, QRect(10, 10, 551, 413), screens);
    if (KeepUsable(placed, screens) != placed)
        __builtin_trap();
    if (plan.placement != PopupPlacement::Edges && (placed.left() < 1280 || placed.top() < 0))
        __builtin_trap();
    return 0;
}
