#include "PopupPlacement.h"

#include <QTest>

Q_DECLARE_METATYPE(ScreenLayout)

// Sizing and placing the pop-up windows.
class PopupPlacementTest : public QObject
{
    Q_OBJECT

private slots:
    void openWindowGeometry_data();
    void openWindowGeometry();
    void bottomRight_data();
    void bottomRight();
    void pendingGeometry_data();
    void pendingGeometry();
    void sprite_data();
    void sprite();
};

namespace {

// 1280 by 1024 with a 24-pixel task bar at the bottom.
const ScreenLayout kScreen{{{QRect(0, 0, 1280, 1024), QRect(0, 0, 1280, 1000)}}};
// Two monitors, the primary on the right: 1920 by 1200 (task bar at its bottom) beside 1280 by 1024.
const ScreenLayout kPrimaryRight{{{QRect(1280, 0, 1920, 1200), QRect(1280, 0, 1920, 1176)},
                                  {QRect(0, 0, 1280, 1024), QRect(0, 0, 1280, 1024)}}};
// The same primary at scale factor 2: the toolkit's logical pixels halve its size, not its place.
const ScreenLayout kPrimaryRightScaled{{{QRect(1280, 0, 960, 600), QRect(1280, 0, 960, 588)},
                                        {QRect(0, 0, 1280, 1024), QRect(0, 0, 1280, 1024)}}};
// A new plain pop-up: its design-time size, wherever the system put it.
const QRect kNewWindow(40, 30, 551, 413);
const QSize kDesignSize(551, 413);

} // namespace

void PopupPlacementTest::openWindowGeometry_data()
{
    QTest::addColumn<ScreenLayout>("screens");
    QTest::addColumn<QRect>("current");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QRect>("expected");
    const auto row = [](const char *name, const ScreenLayout &screens, const QRect &current, const char *left,
                        const char *top, const char *width, const char *height, const QRect &expected) {
        QTest::newRow(name) << screens << current << QString::fromLatin1(left) << QString::fromLatin1(top)
                            << QString::fromLatin1(width) << QString::fromLatin1(height) << expected;
    };

    row("nothing given", kScreen, kNewWindow, "", "", "", "", kNewWindow);
    row("top alone moves only the top", kScreen, kNewWindow, "", "100", "", "", QRect(40, 100, 551, 413));
    row("edges and size", kScreen, kNewWindow, "10", "20", "300", "200", QRect(10, 20, 300, 200));
    row("negative edge is a whole number", kScreen, kNewWindow, "-20", "", "", "", QRect(-20, 30, 551, 413));
    row("centre ignores the numeric top", kScreen, kNewWindow, "Center", "100", "", "",
        QRect(364, 305, 551, 413));
    row("centre in the top, any case", kScreen, kNewWindow, "", "cEnTeR", "", "", QRect(364, 305, 551, 413));
    row("centre uses the new size", kScreen, kNewWindow, "center", "", "400", "300",
        QRect(440, 362, 400, 300));
    row("centre beats the corner", kScreen, kNewWindow, "youxia", "center", "", "",
        QRect(364, 305, 551, 413));
    row("YouXia", kScreen, kNewWindow, "YouXia", "", "", "", QRect(729, 587, 551, 413));
    row("right_bottom in the top", kScreen, kNewWindow, "", "right_bottom", "", "",
        QRect(729, 587, 551, 413));
    row("RightBottom", kScreen, kNewWindow, "RightBottom", "5", "", "", QRect(729, 587, 551, 413));
    row("you_xia", kScreen, kNewWindow, "you_xia", "", "", "", QRect(729, 587, 551, 413));
    row("corner uses the new size", kScreen, kNewWindow, "youxia", "", "400", "300",
        QRect(880, 700, 400, 300));
    // A value that is not a whole number is dropped; the rest of the command still applies.
    row("non-numeric left", kScreen, kNewWindow, "10px", "20", "", "", QRect(40, 20, 551, 413));
    row("non-numeric width", kScreen, kNewWindow, "", "", "wide", "300", QRect(40, 30, 551, 300));
    row("keyword in the width centres", kScreen, kNewWindow, "", "", "Center", "", QRect(364, 305, 551, 413));
    row("decimal fraction", kScreen, kNewWindow, "10.5", "", "", "", kNewWindow);

    // Never larger than the desktop, and a part of the top band stays on a work area.
    row("centre, wider than the desktop", kScreen, kNewWindow, "center", "", "4444", "2000",
        QRect(0, 0, 1280, 1024));
    row("corner, wider than the desktop", kScreen, kNewWindow, "youxia", "", "1500", "",
        QRect(0, 587, 1280, 413));
    row("corner, taller than the desktop", kScreen, kNewWindow, "youxia", "", "", "2000",
        QRect(729, 0, 551, 1024));
    row("moved off the bottom-right corner", kScreen, kNewWindow, "1250", "1004", "", "",
        QRect(1180, 970, 551, 413));
    row("moved above the screen", kScreen, kNewWindow, "40", "-300", "", "", QRect(40, 0, 551, 413));
    row("sized to cover any desktop", kScreen, kNewWindow, "", "", "20000", "20000",
        QRect(40, 30, 1280, 1024));
    row("far out and huge", kScreen, kNewWindow, "1208157535", "-2147483648", "953744434", "",
        QRect(1180, 0, 1280, 413));

    // The primary monitor on the right: every rule is its own, numbers count from its corner.
    const QRect started = PopupStartGeometry(kDesignSize, kPrimaryRight);
    row("new window starts centred on the primary", kPrimaryRight, started, "", "", "", "",
        QRect(1964, 393, 551, 413));
    row("new window given only the top", kPrimaryRight, started, "", "120", "", "",
        QRect(1964, 120, 551, 413));
    row("primary right: centre", kPrimaryRight, started, "center", "", "200", "100",
        QRect(2140, 550, 200, 100));
    row("primary right: corner", kPrimaryRight, started, "", "YouXia", "300", "200",
        QRect(2900, 976, 300, 200));
    row("primary right: numbers", kPrimaryRight, started, "100", "120", "", "", QRect(1380, 120, 551, 413));
    row("primary right: onto the secondary", kPrimaryRight, started, "-1180", "120", "", "",
        QRect(100, 120, 551, 413));
    row("primary right: past the far edge", kPrimaryRight, started, "5000", "10", "", "",
        QRect(3100, 10, 551, 413));
    row("primary right: below the shorter monitor", kPrimaryRight, started, "-1000", "1100", "", "",
        QRect(280, 994, 551, 413));
    row("primary right: wider than both", kPrimaryRight, started, "0", "0", "4000", "",
        QRect(1280, 0, 3200, 413));
    row("primary at scale 2: centre", kPrimaryRightScaled, kNewWindow, "center", "", "300", "200",
        QRect(1610, 200, 300, 200));
    row("primary at scale 2: corner", kPrimaryRightScaled, kNewWindow, "right_bottom", "", "300", "200",
        QRect(1940, 388, 300, 200));
    row("primary at scale 2: numbers", kPrimaryRightScaled, kNewWindow, "100", "120", "", "",
        QRect(1380, 120, 551, 413));
    row("no screen known", ScreenLayout(), kNewWindow, "10", "20", "", "", QRect(10, 20, 551, 413));
}

void PopupPlacementTest::openWindowGeometry()
{
    QFETCH(ScreenLayout, screens);
    QFETCH(QRect, current);
    QFETCH(QString, left);
    QFETCH(QString, top);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QRect, expected);
    QCOMPARE(ApplyPopupGeometry(PlanPopupGeometry(left, top, width, height), current, screens), expected);
}

void PopupPlacementTest::bottomRight_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("workArea");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("expected");

    const QRect screen(0, 0, 1280, 1024);
    QTest::newRow("task bar at the bottom")
        << screen << QRect(0, 0, 1280, 1000) << QSize(300, 200) << QPoint(980, 800);
    QTest::newRow("task bar on the right")
        << screen << QRect(0, 0, 1200, 1024) << QSize(300, 200) << QPoint(900, 824);
    QTest::newRow("no task bar") << screen << screen << QSize(300, 200) << QPoint(980, 824);
    QTest::newRow("window as large as the screen")
        << screen << QRect(0, 0, 1280, 1000) << QSize(1280, 1024) << QPoint(0, 0);
    QTest::newRow("exactly fits") << screen << QRect(0, 0, 1280, 1000) << QSize(1280, 1000) << QPoint(0, 0);
    // Only the work area's size counts: a task bar at the top leaves the window that far off the bottom.
    QTest::newRow("primary on the right, task bar at the top")
        << QRect(1280, 0, 1920, 1200) << QRect(1280, 24, 1920, 1176) << QSize(300, 200) << QPoint(2900, 976);
    QTest::newRow("primary on the right, larger window")
        << QRect(1280, 0, 1920, 1200) << QRect(1280, 0, 1920, 1176) << QSize(2000, 200) << QPoint(1280, 976);
}

void PopupPlacementTest::bottomRight()
{
    QFETCH(QRect, screen);
    QFETCH(QRect, workArea);
    QFETCH(QSize, window);
    QFETCH(QPoint, expected);
    QCOMPARE(BottomRightPosition(ScreenLayout{{{screen, workArea}}}, window), expected);
}

void PopupPlacementTest::pendingGeometry_data()
{
    QTest::addColumn<ScreenLayout>("screens");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QRect>("expected");

    QTest::newRow("nothing reported") << kScreen << -1 << -1 << -1 << -1 << kNewWindow;
    QTest::newRow("moveTo") << kScreen << 100 << 50 << -1 << -1 << QRect(100, 50, 551, 413);
    QTest::newRow("resizeTo") << kScreen << -1 << -1 << 300 << 200 << QRect(40, 30, 300, 200);
    QTest::newRow("negative value left alone")
        << kScreen << -30 << 50 << 400 << -1 << QRect(40, 50, 400, 413);
    QTest::newRow("zero counts") << kScreen << 0 << 0 << -1 << -1 << QRect(0, 0, 551, 413);
    QTest::newRow("values adding up to -4") << kScreen << 2 << -4 << -1 << -1 << kNewWindow;
    // A frame's script cannot hide the window or cover the desktop with it.
    QTest::newRow("moved off the corner")
        << kScreen << 1250 << 1004 << -1 << -1 << QRect(1180, 970, 551, 413);
    QTest::newRow("sized past the desktop")
        << kScreen << -1 << -1 << 20000 << 20000 << QRect(40, 30, 1280, 1024);
    // The right edge of such a window would not fit in an int.
    QTest::newRow("far out and huge")
        << kScreen << 2000000000 << 0 << 2000000000 << -1 << QRect(1180, 0, 1280, 413);
    QTest::newRow("primary on the right")
        << kPrimaryRight << 100 << 120 << -1 << -1 << QRect(1380, 120, 551, 413);
}

void PopupPlacementTest::pendingGeometry()
{
    QFETCH(ScreenLayout, screens);
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QRect, expected);
    QCOMPARE(ApplyPendingGeometry({left, top, width, height}, kNewWindow, screens), expected);
}

void PopupPlacementTest::sprite_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("1024x768") << QRect(0, 0, 1024, 768) << QRect(722, 538, 292, 190);
    QTest::newRow("1280x1024") << QRect(0, 0, 1280, 1024) << QRect(978, 794, 292, 190);
    QTest::newRow("primary on the right") << QRect(1280, 0, 1920, 1200) << QRect(2898, 970, 292, 190);
}

void PopupPlacementTest::sprite()
{
    QFETCH(QRect, screen);
    QFETCH(QRect, expected);
    QCOMPARE(SpriteGeometry(screen), expected);
}

QTEST_GUILESS_MAIN(PopupPlacementTest)
#include "tst_popupplacement.moc"
