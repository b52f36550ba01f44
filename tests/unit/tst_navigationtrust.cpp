#include "FloodLimits.h"
#include "NavigationTrust.h"

#include <QTest>

Q_DECLARE_METATYPE(NavigationKind)

namespace {

const QString kService = QStringLiteral("http://127.0.0.1:17300");
const QString kOther = QStringLiteral("http://127.0.0.1:17301");

} // namespace

class NavigationTrustTest : public QObject
{
    Q_OBJECT

private slots:
    void mayCommand_data();
    void mayCommand();
    void trustedOrigins();
    void loadableAddresses_data();
    void loadableAddresses();
    void launchRate();
};

void NavigationTrustTest::mayCommand_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<NavigationKind>("kind");
    QTest::addColumn<bool>("mainFrame");
    QTest::addColumn<QString>("initiator");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<bool>("allowed");

    const QString command = kService + QStringLiteral("/kw730/cmd.jsp?x=1&cpp_close=1");
    const QString page = kService + QStringLiteral("/popup/index.html");
    const QString otherPage = kOther + QStringLiteral("/popup/index.html");
    QTest::newRow("service page link")
        << command << NavigationKind::Link << true << page << QStringList() << true;
    QTest::newRow("service page script")
        << command << NavigationKind::Other << true << page << QStringList() << true;
    QTest::newRow("service page form")
        << command << NavigationKind::Form << true << page << QStringList() << true;
    QTest::newRow("same-origin frame")
        << command << NavigationKind::Link << false << page << QStringList{"http://127.0.0.1:17300"} << true;
    QTest::newRow("other-origin frame")
        << command << NavigationKind::Link << false << page
        << QStringList{"http://127.0.0.1:17300", "http://127.0.0.1:17301"} << false;
    QTest::newRow("frame without a web origin")
        << command << NavigationKind::Other << false << page << QStringList{"null"} << false;
    QTest::newRow("service frame in another page") << command << NavigationKind::Link << false << otherPage
                                                   << QStringList{"http://127.0.0.1:17300"} << false;
    QTest::newRow("other-origin page in a pop-up")
        << command << NavigationKind::Link << true << otherPage << QStringList() << false;
    QTest::newRow("redirect from the service")
        << command << NavigationKind::Redirect << true << kService + QStringLiteral("/go?to=x")
        << QStringList() << true;
    QTest::newRow("redirect from elsewhere") << command << NavigationKind::Redirect << true
                                             << kOther + QStringLiteral("/go?to=x") << QStringList() << false;
    QTest::newRow("kw730 in another host's address")
        << QStringLiteral("http://kw730.evil.example/kw730/a?tarwin=1") << NavigationKind::Link << true
        << QStringLiteral("http://kw730.evil.example/kw730/") << QStringList() << false;
    QTest::newRow("shell load of a service address")
        << command << NavigationKind::Shell << true << otherPage << QStringList() << true;
    QTest::newRow("shell load elsewhere") << kOther + QStringLiteral("/?cpp_close=1") << NavigationKind::Shell
                                          << true << page << QStringList() << false;
    QTest::newRow("nothing shown yet")
        << command << NavigationKind::Other << true << QString() << QStringList() << false;
    QTest::newRow("https page of the same host")
        << command << NavigationKind::Link << true << QStringLiteral("https://127.0.0.1:17300/")
        << QStringList() << false;
    QTest::newRow("file page") << command << NavigationKind::Link << true
                               << QStringLiteral("file:///tmp/a.html") << QStringList() << false;
    QTest::newRow("about:blank page")
        << command << NavigationKind::Link << true << QStringLiteral("about:blank") << QStringList() << false;
    QTest::newRow("data page") << command << NavigationKind::Link << true
                               << QStringLiteral("data:text/html,x") << QStringList() << false;
    QTest::newRow("host in other letter case")
        << command << NavigationKind::Link << true << QStringLiteral("HTTP://LOCALHOST.example:80/")
        << QStringList() << true;
    QTest::newRow("default port spelled out")
        << command << NavigationKind::Link << true << QStringLiteral("https://svc.example:443/x")
        << QStringList() << true;
}

void NavigationTrustTest::mayCommand()
{
    QFETCH(QString, url);
    QFETCH(NavigationKind, kind);
    QFETCH(bool, mainFrame);
    QFETCH(QString, initiator);
    QFETCH(QStringList, frames);
    const QStringList trusted =
        TrustedOrigins(kService, QStringLiteral("http://localhost.example https://svc.example"));
    NavigationRequest request;
    request.url = QUrl(url);
    request.kind = kind;
    request.mainFrame = mainFrame;
    request.initiator = QUrl(initiator);
    request.frameOrigins = frames;
    QTEST(MayCommand(request, trusted), "allowed");
}

void NavigationTrustTest::trustedOrigins()
{
    QCOMPARE(
        TrustedOrigins(QStringLiteral("http://127.0.0.1:17300/"),
                       QStringLiteral(" https://a.example;http://B.example:8080/x, ftp://c.example file:/// "
                                      "http://127.0.0.1:17300")),
        QStringList({"http://127.0.0.1:17300", "https://a.example:443", "http://b.example:8080"}));
    // An unusable web root trusts nobody by itself.
    QCOMPARE(TrustedOrigins(QStringLiteral("javascript:alert(1)"), QString()), QStringList());
}

void NavigationTrustTest::loadableAddresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("allowBlank");
    QTest::addColumn<bool>("loadable");
    QTest::newRow("http") << "http://127.0.0.1:17300/a b?q=a+b" << false << true;
    QTest::newRow("https upper case") << "HTTPS://Svc.Example/x" << false << true;
    QTest::newRow("file") << "file:///etc/hostname" << false << false;
    QTest::newRow("data") << "data:text/html,<script>x()</script>" << false << false;
    QTest::newRow("javascript") << "javascript:alert(1)" << false << false;
    QTest::newRow("javascript with blanks") << " javascript:alert(1)" << false << false;
    QTest::newRow("view-source") << "view-source:http://127.0.0.1/" << false << false;
    QTest::newRow("no host") << "http:///x" << false << false;
    QTest::newRow("relative") << "/clilogin/reg.jsp" << false << false;
    QTest::newRow("empty") << "" << false << false;
    QTest::newRow("blank where the shell uses it") << "about:blank" << true << true;
    QTest::newRow("blank from a command") << "about:blank" << false << false;
    QTest::newRow("other about page") << "about:version" << true << false;
}

void NavigationTrustTest::loadableAddresses()
{
    QFETCH(QString, address);
    QFETCH(bool, allowBlank);
    QTEST(IsLoadableAddress(address, allowBlank), "loadable");
}

void NavigationTrustTest::launchRate()
{
    LaunchRate rate(3, 60000);
    QVERIFY(rate.admit(0));
    QVERIFY(rate.admit(10));
    QVERIFY(rate.admit(20));
    QVERIFY(!rate.admit(30));    // three in the last minute already
    QVERIFY(!rate.admit(59999)); // the first still counts
    QVERIFY(rate.admit(60000));  // the first has left the window
    QVERIFY(!rate.admit(60005)); // refused starts did not count, the others still do
    QVERIFY(rate.admit(60020));
    QVERIFY(rate.admit(200000)); // a clock that jumps back forgets what lay ahead of it
    QVERIFY(rate.admit(100));
}

QTEST_GUILESS_MAIN(NavigationTrustTest)
#include "tst_navigationtrust.moc"
