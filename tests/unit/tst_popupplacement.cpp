#include "PopupPlacement.h"

#include <QTest>

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
const ScreenMetrics kScreen{QSize(1280, 1024), QSize(1280, 1024), QSize(1280, 1000)};
// A new plain pop-up: its design-time size, wherever the system put it.
const QRect kNewWindow(40, 30, 551, 413);

} // namespace

void PopupPlacementTest::openWindowGeometry_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QRect>("expected");

    QTest::newRow("nothing given") << ""
                                   << ""
                                   << ""
                                   << "" << kNewWindow;
    QTest::newRow("top alone moves only the top") << ""
                                                  << "100"
                                                  << ""
                                                  << "" << QRect(40, 100, 551, 413);
    QTest::newRow("edges and size") << "10"
                                    << "20"
                                    << "300"
                                    << "200" << QRect(10, 20, 300, 200);
    QTest::newRow("negative edge is a whole number") << "-20"
                                                     << ""
                                                     << ""
                                                     << "" << QRect(-20, 30, 551, 413);
    QTest::newRow("centre ignores the numeric top") << "Center"
                                                    << "100"
                                                    << ""
                                                    << "" << QRect(364, 305, 551, 413);
    QTest::newRow("centre in the top, any case") << ""
                                                 << "cEnTeR"
                                                 << ""
                                                 << "" << QRect(364, 305, 551, 413);
    QTest::newRow("centre uses the new size") << "center"
                                              << ""
                                              << "400"
                                              << "300" << QRect(440, 362, 400, 300);
    QTest::newRow("centre, wider than the desktop") << "center"
                                                    << ""
                                                    << "4444"
                                                    << "2000" << QRect(0, 0, 4444, 2000);
    QTest::newRow("centre beats the corner") << "youxia"
                                             << "center"
                                             << ""
                                             << "" << QRect(364, 305, 551, 413);
    QTest::newRow("YouXia") << "YouXia"
                            << ""
                            << ""
                            << "" << QRect(729, 587, 551, 413);
    QTest::newRow("right_bottom in the top") << ""
                                             << "right_bottom"
                                             << ""
                                             << "" << QRect(729, 587, 551, 413);
    QTest::newRow("RightBottom") << "RightBottom"
                                 << "5"
                                 << ""
                                 << "" << QRect(729, 587, 551, 413);
    QTest::newRow("you_xia") << "you_xia"
                             << ""
                             << ""
                             << "" << QRect(729, 587, 551, 413);
    QTest::newRow("corner uses the new size") << "youxia"
                                              << ""
                                              << "400"
                                              << "300" << QRect(880, 700, 400, 300);
    QTest::newRow("wider than the work area") << "youxia"
                                              << ""
                                              << "1500"
                                              << "" << QRect(0, 587, 1500, 413);
    QTest::newRow("taller than the work area") << "youxia"
                                               << ""
                                               << ""
                                               << "2000" << QRect(729, 0, 551, 2000);
    // A value that is not a whole number is dropped; the rest of the command still applies.
    QTest::newRow("non-numeric left") << "10px"
                                      << "20"
                                      << ""
                                      << "" << QRect(40, 20, 551, 413);
    QTest::newRow("non-numeric width") << ""
                                       << ""
                                       << "wide"
                                       << "300" << QRect(40, 30, 551, 300);
    QTest::newRow("keyword in the width centres") << ""
                                                  << ""
                                                  << "Center"
                                                  << "" << QRect(364, 305, 551, 413);
    // Edges and sizes past any screen are held at the largest a window can have.
    QTest::newRow("far out and huge") << "1208157535"
                                      << "-2147483648"
                                      << "953744434"
                                      << "" << QRect(16777215, -16777215, 16777215, 413);
    QTest::newRow("decimal fraction") << "10.5"
                                      << ""
                                      << ""
                                      << "" << kNewWindow;
}

void PopupPlacementTest::openWindowGeometry()
{
    QFETCH(QString, left);
    QFETCH(QString, top);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QRect, expected);
    QCOMPARE(ApplyPopupGeometry(PlanPopupGeometry(left, top, width, height), kNewWindow, kScreen), expected);
}

void PopupPlacementTest::bottomRight_data()
{
    QTest::addColumn<QSize>("workArea");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("expected");

    QTest::newRow("task bar at the bottom") << QSize(1280, 1000) << QSize(300, 200) << QPoint(980, 800);
    QTest::newRow("task bar on the right") << QSize(1200, 1024) << QSize(300, 200) << QPoint(900, 824);
    QTest::newRow("no task bar") << QSize(1280, 1024) << QSize(300, 200) << QPoint(980, 824);
    QTest::newRow("window as large as the screen") << QSize(1280, 1000) << QSize(1280, 1024) << QPoint(0, 0);
    QTest::newRow("exactly fits") << QSize(1280, 1000) << QSize(1280, 1000) << QPoint(0, 0);
}

void PopupPlacementTest::bottomRight()
{
    QFETCH(QSize, workArea);
    QFETCH(QSize, window);
    QFETCH(QPoint, expected);
    QCOMPARE(BottomRightPosition({QSize(1280, 1024), QSize(1280, 1024), workArea}, window), expected);
}

void PopupPlacementTest::pendingGeometry_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QRect>("expected");

    QTest::newRow("nothing reported") << -1 << -1 << -1 << -1 << kNewWindow;
    QTest::newRow("moveTo") << 100 << 50 << -1 << -1 << QRect(100, 50, 551, 413);
    QTest::newRow("resizeTo") << -1 << -1 << 300 << 200 << QRect(40, 30, 300, 200);
    QTest::newRow("negative value left alone") << -30 << 50 << 400 << -1 << QRect(40, 50, 400, 413);
    QTest::newRow("zero counts") << 0 << 0 << -1 << -1 << QRect(0, 0, 551, 413);
    QTest::newRow("values adding up to -4") << 2 << -4 << -1 << -1 << kNewWindow;
    // The right edge of such a window would not fit in an int.
    QTest::newRow("far out and huge")
        << 2000000000 << 0 << 2000000000 << -1 << QRect(16777215, 0, 16777215, 413);
}

void PopupPlacementTest::pendingGeometry()
{
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QRect, expected);
    QCOMPARE(ApplyPendingGeometry({left, top, width, height}, kNewWindow), expected);
}

void PopupPlacementTest::sprite_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("1024x768") << QSize(1024, 768) << QRect(722, 538, 292, 190);
    QTest::newRow("1280x1024") << QSize(1280, 1024) << QRect(978, 794, 292, 190);
}

void PopupPlacementTest::sprite()
{
    QFETCH(QSize, screen);
    QFETCH(QRect, expected);
    QCOMPARE(SpriteGeometry(screen), expected);
}

QTEST_GUILESS_MAIN(PopupPlacementTest)
#include "tst_popupplacement.moc"
