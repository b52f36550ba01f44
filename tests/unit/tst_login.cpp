#include "DragBands.h"
#include "LoginDecisions.h"

#include <QTest>
#include <QUrl>
#include <QUrlQuery>

// The login decisions: what is sent, what an answer means, which window a press moves.
class LoginTest : public QObject
{
    Q_OBJECT

private slots:
    void trimming_data();
    void trimming();
    void loginAddressKeepsValuesWhole_data();
    void loginAddressKeepsValuesWhole();
    void answers_data();
    void answers();
    void dragBands_data();
    void dragBands();
    void pressInfo();
};

void LoginTest::trimming_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("trimmed");
    QTest::newRow("blanks") << "  demo  "
                            << "demo";
    QTest::newRow("controls") << QString::fromUtf8("\t\x01"
                                                   "demo\r\n")
                              << "demo";
    QTest::newRow("only blanks") << "    "
                                 << "";
    QTest::newRow("inner blank stays") << " de mo "
                                       << "de mo";
    // Only codes up to 32 count as blanks; the ideographic space is text.
    QTest::newRow("ideographic space") << QStringLiteral("\u3000demo") << QStringLiteral("\u3000demo");
}

void LoginTest::trimming()
{
    QFETCH(QString, typed);
    QFETCH(QString, trimmed);
    QCOMPARE(TrimLoginText(typed), trimmed);
}

void LoginTest::loginAddressKeepsValuesWhole_data()
{
    QTest::addColumn<QString>("userId");
    QTest::addColumn<QString>("userPass");
    QTest::newRow("plain") << "demo"
                           << "demo123";
    QTest::newRow("delimiters") << "a&b=c"
                                << "p&x=1#frag+plus";
    QTest::newRow("blank and percent") << "de mo"
                                       << "100% sure";
    QTest::newRow("chinese") << QStringLiteral("用户") << QStringLiteral("密码&中文 +#");
}

void LoginTest::loginAddressKeepsValuesWhole()
{
    QFETCH(QString, userId);
    QFETCH(QString, userPass);
    const LoginRequest request{QStringLiteral("http://127.0.0.1:8000"),
                               QStringLiteral("0A1B2C3D"),
                               QStringLiteral("3.0.05"),
                               userId,
                               userPass,
                               QStringLiteral("000")};
    const QString address = LoginAddress(request);
    QVERIFY(address.startsWith(
        QStringLiteral("http://127.0.0.1:8000/clilogin/clilogin.jsp?mac=0A1B2C3D&ver=3.0.05")));
    // Four separators and nothing else that could cut a value.
    QCOMPARE(address.count(QLatin1Char('&')), 4);
    QVERIFY(!address.contains(QLatin1Char('#')));
    QVERIFY(!address.contains(QLatin1Char(' ')));

    const QUrlQuery query(QUrl(address, QUrl::StrictMode));
    QCOMPARE(query.queryItemValue(QStringLiteral("userid"), QUrl::FullyDecoded), userId);
    QCOMPARE(query.queryItemValue(QStringLiteral("userpass"), QUrl::FullyDecoded), userPass);
    QCOMPARE(query.queryItemValue(QStringLiteral("userrole")), QStringLiteral("000"));
}

void LoginTest::answers_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("hasFields");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("userInfo");
    QTest::addColumn<QString>("message");
    const QString fixed = LoginFailedMessage();
    const int ok = int(LoginStatus::Ok);
    const int error = int(LoginStatus::Error);
    const int failed = int(LoginStatus::Failed);
    QTest::newRow("ok") << "x|loginok|ok|Title|Info" << ok << true << "Title"
                        << "Info"
                        << "";
    QTest::newRow("error with five fields shows the service's text")
        << "x|loginerr|badpassword|-|-" << error << true << "-"
        << "-"
        << "badpassword";
    QTest::newRow("error with three fields is a plain failure")
        << "x|loginerr|badpassword" << failed << false << ""
        << "" << fixed;
    QTest::newRow("four fields") << "x|loginok|ok|Title" << failed << false << ""
                                 << "" << fixed;
    QTest::newRow("empty") << "" << failed << false << ""
                           << "" << fixed;
    QTest::newRow("html text") << "Service unavailable" << failed << false << ""
                               << "" << fixed;
    QTest::newRow("status is case-sensitive") << "x|LOGINOK|m|T|U" << failed << true << "T"
                                              << "U" << fixed;
    QTest::newRow("unknown status") << "x|busy|later|T|U" << failed << true << "T"
                                    << "U" << fixed;
    // A blank separates fields too, so the title is the second half of the message.
    QTest::newRow("blank in message") << "x|loginok|welcome user|t|u" << ok << true << "user"
                                      << "t"
                                      << "";
    QTest::newRow("trailing line break") << "x|loginok|ok|T|U\n"
                                         << ok << true << "T"
                                         << "U"
                                         << "";
}

void LoginTest::answers()
{
    QFETCH(QString, body);
    QFETCH(int, status);
    QFETCH(bool, hasFields);
    QFETCH(QString, title);
    QFETCH(QString, userInfo);
    QFETCH(QString, message);
    const LoginAnswer answer = InterpretLoginAnswer(body);
    QCOMPARE(int(answer.status), status);
    QCOMPARE(answer.hasFields, hasFields);
    QCOMPARE(answer.title, title);
    QCOMPARE(answer.userInfo, userInfo);
    QCOMPARE(answer.message, message);
}

void LoginTest::dragBands_data()
{
    QTest::addColumn<int>("browser");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("browserWidth");
    QTest::addColumn<int>("moves");
    const int head = int(PressedBrowser::MainHead);
    const int main = int(MoveWindow::Main);
    const int none = int(MoveWindow::None);
    QTest::newRow("head left part") << head << 10 << 10 << 1004 << main;
    QTest::newRow("head 700: its controls") << head << 700 << 10 << 1004 << none;
    QTest::newRow("head 720: band again") << head << 720 << 10 << 1004 << main;
    QTest::newRow("head y 27 is below the band") << head << 10 << 27 << 1004 << none;
    QTest::newRow("head y 26") << head << 10 << 26 << 1004 << main;
    QTest::newRow("head 634") << head << 634 << 5 << 1004 << main;
    QTest::newRow("head 635") << head << 635 << 5 << 1004 << none;
    QTest::newRow("head 710") << head << 710 << 5 << 1004 << none;
    QTest::newRow("head 711") << head << 711 << 5 << 1004 << main;
    QTest::newRow("head 862") << head << 862 << 5 << 1004 << main;
    QTest::newRow("head 863") << head << 863 << 5 << 1004 << none;
    const int login = int(PressedBrowser::LoginWeb1);
    QTest::newRow("login web1 inside") << login << 609 << 5 << 0 << int(MoveWindow::Login);
    QTest::newRow("login web1 close corner") << login << 610 << 5 << 0 << none;
    const int sprite = int(PressedBrowser::SpriteWeb1);
    QTest::newRow("sprite band") << sprite << 179 << 5 << 200 << int(MoveWindow::Sprite);
    QTest::newRow("sprite close corner") << sprite << 180 << 5 << 200 << none;
    const int popup = int(PressedBrowser::LinkPopupIe1);
    QTest::newRow("link pop-up band") << popup << 362 << 5 << 463 << int(MoveWindow::LinkPopup);
    QTest::newRow("link pop-up right part") << popup << 363 << 5 << 463 << none;
    QTest::newRow("link pop-up below band") << popup << 10 << 30 << 463 << none;
    QTest::newRow("no browser") << int(PressedBrowser::Other) << 5 << 5 << 500 << none;
}

void LoginTest::dragBands()
{
    QFETCH(int, browser);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, browserWidth);
    QFETCH(int, moves);
    QCOMPARE(int(WindowToMove(PressedBrowser(browser), x, y, browserWidth, 637)), moves);
}

void LoginTest::pressInfo()
{
    QCOMPARE(PressInfoText(720, 10, 1004), QStringLiteral("x:720,y:10,width:1004"));
    QCOMPARE(PressInfoText(-3, 0, 0), QStringLiteral("x:-3,y:0,width:0"));
}

QTEST_GUILESS_MAIN(LoginTest)
#include "tst_login.moc"
