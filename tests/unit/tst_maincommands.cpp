#include "client/mainwindow/MainCommands.h"

#include <QTest>

Q_DECLARE_METATYPE(HeadCommandKind)
Q_DECLARE_METATYPE(BodyCommandKind)

namespace {

const QString kHome = QStringLiteral("http://www.kw730.example/");

} // namespace

class MainCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void headKinds_data();
    void headKinds();
    void linkPopup_data();
    void linkPopup();
    void bodyKinds_data();
    void bodyKinds();
    void webHome_data();
    void webHome();
    void skinRequest_data();
    void skinRequest();
    void longSkinIsNotStored();
};

void MainCommandsTest::headKinds_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<HeadCommandKind>("kind");
    using K = HeadCommandKind;
    QTest::newRow("plain page") << "http://h/clilogin/index01.jsp" << K::None;
    QTest::newRow("close") << "http://h/x?action=close" << K::Close;
    QTest::newRow("max") << "http://h/x?action=max" << K::Max;
    QTest::newRow("min") << "http://h/x?action=min" << K::Min;
    QTest::newRow("refresh") << "http://h/x?action=refresh" << K::Refresh;
    QTest::newRow("newwin") << "http://h/x?newwin=1" << K::OpenLinkPopup;
    QTest::newRow("cpp_open_win") << "http://h/x?a=1&cpp_open_win=1&cpp_url=y" << K::OpenLinkPopup;
    QTest::newRow("close wins over newwin") << "http://h/x?newwin=1&action=close" << K::Close;
    QTest::newRow("min wins over refresh") << "http://h/x?action=refresh&action=min" << K::Min;
    QTest::newRow("key anywhere, also in the path") << "http://h/action=close/p" << K::Close;
    QTest::newRow("case-sensitive") << "http://h/x?ACTION=CLOSE" << K::None;
    QTest::newRow("cpp_open_win needs its &") << "http://h/x?cpp_open_win=1" << K::None;
    // The body's commands are not the head's.
    QTest::newRow("back is body only") << "http://kw730.h/x?action=back" << K::None;
    QTest::newRow("tarwin is body only") << "http://kw730.h/x?tarwin=1" << K::None;
    QTest::newRow("skin is body only") << "http://kw730.h/x?action=skin" << K::None;
}

void MainCommandsTest::headKinds()
{
    QFETCH(QString, url);
    QFETCH(HeadCommandKind, kind);
    QCOMPARE(InterpretHeadUrl(url).kind, kind);
}

void MainCommandsTest::linkPopup_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("width"); // -1: not set
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("centre");
    QTest::newRow("newwin alone keeps the whole url")
        << "http://h/x?newwin=1&cpp_width=300"
        << "http://h/x?newwin=1&cpp_width=300" << 300 << -1 << false;
    QTest::newRow("cpp_url is form-decoded")
        << "http://h/"
           "x?a=1&cpp_open_win=1&cpp_url=http%3A%2F%2Fq%2Fp%3Fa%3Db%2Bc+d&cpp_width=400&cpp_height=250"
        << "http://q/p?a=b+c d" << 400 << 250 << false;
    QTest::newRow("both keys: cpp_url decides")
        << "http://h/x?newwin=1&cpp_open_win=1&cpp_url=http%3A%2F%2Fq%2F"
        << "http://q/" << -1 << -1 << false;
    QTest::newRow("Chinese in cpp_url") << "http://h/x?&cpp_open_win=1&cpp_url=http%3A%2F%2Fq%2F%E4%BD%A0"
                                        << "http://q/你" << -1 << -1 << false;
    QTest::newRow("left center") << "http://h/x?newwin=1&cpp_left=center"
                                 << "http://h/x?newwin=1&cpp_left=center" << -1 << -1 << true;
    QTest::newRow("top CENTER, any case") << "http://h/x?&cpp_open_win=1&cpp_url=u&cpp_top=CeNtEr"
                                          << "u" << -1 << -1 << true;
    QTest::newRow("center across the joined texts")
        << "http://h/x?&cpp_open_win=1&cpp_url=u&cpp_width=cen&cpp_height=ter"
        << "u" << -1 << -1 << true;
    QTest::newRow("numeric left is no centre")
        << "http://h/x?&cpp_open_win=1&cpp_url=u&cpp_left=100&cpp_top=50"
        << "u" << -1 << -1 << false;
    QTest::newRow("center elsewhere does not count") << "http://h/center?&cpp_open_win=1&cpp_url=center"
                                                     << "center" << -1 << -1 << false;
    QTest::newRow("non-numeric width ignored, height kept")
        << "http://h/x?&cpp_open_win=1&cpp_url=u&cpp_width=wide&cpp_height=200"
        << "u" << -1 << 200 << false;
    QTest::newRow("width with unit ignored") << "http://h/x?&cpp_open_win=1&cpp_url=u&cpp_width=300px"
                                             << "u" << -1 << -1 << false;
}

void MainCommandsTest::linkPopup()
{
    QFETCH(QString, url);
    QFETCH(QString, address);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, centre);
    const HeadCommand command = InterpretHeadUrl(url);
    QCOMPARE(command.kind, HeadCommandKind::OpenLinkPopup);
    QCOMPARE(command.popup.address, address);
    QCOMPARE(command.popup.width.value_or(-1), width);
    QCOMPARE(command.popup.height.value_or(-1), height);
    QCOMPARE(command.popup.centre, centre);
}

void MainCommandsTest::bodyKinds_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<BodyCommandKind>("kind");
    using K = BodyCommandKind;
    QTest::newRow("plain portal page") << "http://www.kw730.h/index02.jsp" << K::None;
    QTest::newRow("tab") << "http://www.kw730.h/p?tarwin=1" << K::NewTab;
    QTest::newRow("video") << "http://www.kw730.h/p?tarwin=2" << K::NewVideo;
    QTest::newRow("refresh") << "http://www.kw730.h/p?action=refresh" << K::Refresh;
    QTest::newRow("back") << "http://www.kw730.h/p?action=back" << K::Back;
    QTest::newRow("next") << "http://www.kw730.h/p?action=next" << K::Next;
    QTest::newRow("webhome") << "http://www.kw730.h/p?action=webhome" << K::WebHome;
    QTest::newRow("skin") << "http://www.kw730.h/p?action=skin&skin=2" << K::Skin;
    QTest::newRow("token in the path") << "http://127.0.0.1/kw730/p?action=back" << K::Back;
    QTest::newRow("token in the query") << "http://h/p?site=kw730&tarwin=2" << K::NewVideo;
    QTest::newRow("no token: back navigates") << "http://other.h/p?action=back" << K::None;
    QTest::newRow("no token: tab navigates") << "http://other.h/p?tarwin=1" << K::None;
    QTest::newRow("token is case-sensitive") << "http://KW730.h/p?tarwin=1" << K::None;
    QTest::newRow("tab wins over video") << "http://kw730.h/p?tarwin=2&tarwin=1" << K::NewTab;
    QTest::newRow("refresh wins over back") << "http://kw730.h/p?action=back&action=refresh" << K::Refresh;
    QTest::newRow("webhome wins over skin") << "http://kw730.h/p?action=skin&action=webhome" << K::WebHome;
    QTest::newRow("tarwin=3 is nothing") << "http://kw730.h/p?tarwin=3" << K::None;
    // The head's commands are not the body's.
    QTest::newRow("close is head only") << "http://kw730.h/p?action=close" << K::None;
    QTest::newRow("min is head only") << "http://kw730.h/p?action=min" << K::None;
    QTest::newRow("max is head only") << "http://kw730.h/p?action=max" << K::None;
    QTest::newRow("newwin is head only") << "http://kw730.h/p?newwin=1" << K::None;
}

void MainCommandsTest::bodyKinds()
{
    QFETCH(QString, url);
    QFETCH(BodyCommandKind, kind);
    const BodyCommand command = InterpretBodyUrl(url, kHome);
    QCOMPARE(command.kind, kind);
    if (kind == BodyCommandKind::NewTab || kind == BodyCommandKind::NewVideo || kind == BodyCommandKind::Skin)
        QCOMPARE(command.address, url);
}

void MainCommandsTest::webHome_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("address");
    QTest::newRow("linkinfo given") << "http://kw730.h/p?action=webhome&linkinfo=http://news.h/a"
                                    << "http://news.h/a";
    QTest::newRow("no linkinfo: home") << "http://kw730.h/p?action=webhome" << kHome;
    QTest::newRow("empty linkinfo: home") << "http://kw730.h/p?action=webhome&linkinfo=" << kHome;
    QTest::newRow("bare host name") << "http://kw730.h/p?action=webhome&linkinfo=www.example.com"
                                    << "http://www.example.com";
    QTest::newRow("host, port and path") << "http://kw730.h/p?action=webhome&linkinfo=news.h:8080/a"
                                         << "http://news.h:8080/a";
    QTest::newRow("https kept") << "http://kw730.h/p?action=webhome&linkinfo=https://news.h/"
                                << "https://news.h/";
    QTest::newRow("another scheme kept, for the launcher to refuse")
        << "http://kw730.h/p?action=webhome&linkinfo=mailto:a@b.h"
        << "mailto:a@b.h";
}

void MainCommandsTest::webHome()
{
    QFETCH(QString, url);
    QFETCH(QString, address);
    const BodyCommand command = InterpretBodyUrl(url, kHome);
    QCOMPARE(command.kind, BodyCommandKind::WebHome);
    QCOMPARE(command.address, address);
}

void MainCommandsTest::skinRequest_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("random");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("skin");
    QTest::newRow("skin last") << "http://kw730.h/s?action=skin&skin=blue" << 16838 << "13:05:09"
                               << "http://kw730.h/s?action=skin&skin=blue&rangdt=1683813:05:09"
                               << "blue";
    QTest::newRow("skin first") << "http://kw730.h/s?skin=2&action=skin" << 0 << "9:00:00"
                                << "http://kw730.h/s?skin=2&action=skin&rangdt=09:00:00"
                                << "2";
    QTest::newRow("no skin") << "http://kw730.h/s?action=skin" << 32767 << "23:59:59"
                             << "http://kw730.h/s?action=skin&rangdt=3276723:59:59"
                             << "";
}

void MainCommandsTest::skinRequest()
{
    QFETCH(QString, url);
    QFETCH(int, random);
    QFETCH(QString, time);
    QFETCH(QString, request);
    QFETCH(QString, skin);
    QCOMPARE(SkinRequestUrl(url, random, time), request);
    QCOMPARE(SkinOfRequest(request), skin);
}

void MainCommandsTest::longSkinIsNotStored()
{
    const QString request = QStringLiteral("http://x.kw730.example/s?action=skin&skin=");
    const QString longest(kLongestStoredSkin, QLatin1Char('b'));
    QCOMPARE(SkinToStore(request + longest + QStringLiteral("&rangdt=1")), std::optional<QString>(longest));
    QCOMPARE(SkinToStore(request + longest + QStringLiteral("b&rangdt=1")), std::nullopt);
}

QTEST_APPLESS_MAIN(MainCommandsTest)
#include "tst_maincommands.moc"
