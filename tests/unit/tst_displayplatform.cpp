#include "platform/displayplatform.h"

#include <QTest>

using platform::DisplayChoice;

// Which platform plugin the programs ask for, from what the session's environment says.
class DisplayPlatformTest : public QObject
{
    Q_OBJECT

private slots:
    void choice_data();
    void choice();
};

void DisplayPlatformTest::choice_data()
{
    QTest::addColumn<QByteArray>("chosen");
    QTest::addColumn<QByteArray>("sessionType");
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<QByteArray>("x11");
    QTest::addColumn<DisplayChoice>("expected");

    QTest::newRow("X session") << QByteArray() << QByteArray("x11") << QByteArray() << QByteArray(":0")
                               << DisplayChoice::Leave;
    QTest::newRow("no session type, X only")
        << QByteArray() << QByteArray() << QByteArray() << QByteArray(":1") << DisplayChoice::Leave;
    QTest::newRow("Wayland with Xwayland") << QByteArray() << QByteArray("wayland") << QByteArray("wayland-0")
                                           << QByteArray(":1") << DisplayChoice::X11;
    // A compositor started by hand sets the socket but not the session type.
    QTest::newRow("Wayland socket alone, with Xwayland")
        << QByteArray() << QByteArray() << QByteArray("wayland-1") << QByteArray(":2") << DisplayChoice::X11;
    QTest::newRow("Wayland session type, with Xwayland")
        << QByteArray() << QByteArray("wayland") << QByteArray() << QByteArray(":0") << DisplayChoice::X11;
    QTest::newRow("Wayland without Xwayland")
        << QByteArray() << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray()
        << DisplayChoice::NativeWayland;
    QTest::newRow("user chose wayland")
        << QByteArray("wayland") << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray(":1")
        << DisplayChoice::Leave;
    QTest::newRow("user chose xcb") << QByteArray("xcb") << QByteArray("wayland") << QByteArray("wayland-0")
                                    << QByteArray() << DisplayChoice::Leave;
    QTest::newRow("blank choice is no choice")
        << QByteArray(" ") << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray(":1")
        << DisplayChoice::X11;
    QTest::newRow("nothing at all") << QByteArray() << QByteArray("tty") << QByteArray() << QByteArray()
                                    << DisplayChoice::Leave;
}

void DisplayPlatformTest::choice()
{
    QFETCH(QByteArray, chosen);
    QFETCH(QByteArray, sessionType);
    QFETCH(QByteArray, wayland);
    QFETCH(QByteArray, x11);
    QFETCH(DisplayChoice, expected);
    QCOMPARE(platform::ChooseDisplayPlatform({chosen, sessionType, wayland, x11}), expected);
}

QTEST_GUILESS_MAIN(DisplayPlatformTest)
#include "tst_displayplatform.moc"
