#include "FloodLimits.h"
#include "NavigationTrust.h"

#include <QTest>

Q_DECLARE_METATYPE(NavigationKind)
Q_DECLARE_METATYPE(CommandVerdict)

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
    QTest::addColumn<QString>("top"); // the main frame's document, for frames
    QTest::addColumn<bool>("known");  // the engine has named the initiator
    QTest::addColumn<CommandVerdict>("verdict");
    QTest::addColumn<QString>("hops"); // the addresses a redirect chain passed, blank-separated

    const QString command = kService + QStringLiteral("/kw730/cmd.jsp?x=1&cpp_close=1");
    const QString page = kService + QStringLiteral("/popup/index.html");
    const QString otherPage = kOther + QStringLiteral("/popup/index.html");
    const auto row = [&command](const char *name, NavigationKind kind, bool mainFrame,
                                const QString &initiator, const QString &top, bool known,
                                CommandVerdict verdict, const QString &hops = QString()) {
        QTest::newRow(name) << command << kind << mainFrame << initiator << top << known << verdict << hops;
    };
    using K = NavigationKind;
    using V = CommandVerdict;
    row("service page link", K::Link, true, page, page, true, V::Obey);
    row("service page script", K::Other, true, page, page, true, V::Obey);
    row("service page form", K::Form, true, page, page, true, V::Obey);
    row("same-origin frame", K::Link, false, page, page, true, V::Obey);
    row("other-origin frame", K::Link, false, otherPage, page, true, V::Refuse);
    // The engine names a frame's own document, whatever page holds it.
    row("other-origin frame sends the top", K::Link, true, otherPage, page, true, V::Refuse);
    row("frame without a web origin", K::Other, false, QString(), page, true, V::Refuse);
    row("service frame in another page", K::Link, false, page, otherPage, true, V::Refuse);
    row("other-origin page in a pop-up", K::Link, true, otherPage, otherPage, true, V::Refuse);
    // A redirect chain carries the initiator of its first request.
    row("redirect from the service", K::Redirect, true, page, page, true, V::Obey);
    row("redirect started elsewhere", K::Redirect, true, otherPage, otherPage, true, V::Refuse);
    row("service chain through another site", K::Link, true, page, page, true, V::Refuse,
        kService + "/go " + kOther + "/go " + kService + "/go");
    row("other chain through the service", K::Link, true, otherPage, otherPage, true, V::Refuse,
        kService + "/go");
    row("service chain of two hops", K::Link, true, page, page, true, V::Obey,
        kService + "/a " + kService + "/b");
    row("shell chain through another site", K::Shell, true, page, QString(), true, V::Refuse, kOther + "/go");
    row("frame redirect", K::Redirect, false, page, page, false, V::Refuse);
    row("redirect before the engine spoke", K::Redirect, true, page, page, false, V::AskEngine);
    // The hop's own request would be made before the engine names it: decided on the chain so far.
    row("redirect of a chain started elsewhere", K::Redirect, true, otherPage, QString(), false, V::Refuse);
    row("redirect of a chain that passed elsewhere", K::Redirect, true, page, QString(), false, V::Refuse,
        kOther + "/go");
    row("page link before the engine spoke", K::Link, true, page, page, false, V::AskEngine);
    row("frame before the engine spoke", K::Link, false, page, page, false, V::AskEngine);
    // The engine reports the entry's own origin for a history step, not who stepped.
    row("history step into a command", K::BackForward, true, page, page, true, V::Refuse);
    row("history step before the engine spoke", K::BackForward, true, page, page, false, V::Refuse);
    row("reload of a command", K::Reload, true, page, page, true, V::Refuse);
    row("shell load of a service address", K::Shell, true, QString(), QString(), false, V::Obey);
    row("shell load for the service's window", K::Shell, true, page, QString(), false, V::Obey);
    row("shell load for another origin's window", K::Shell, true, otherPage, QString(), false, V::Refuse);
    row("shell chain started elsewhere", K::Shell, true, otherPage, QString(), true, V::Refuse);
    row("nothing named", K::Other, true, QString(), QString(), true, V::Refuse);
    row("https page of the same host", K::Link, true, "https://127.0.0.1:17300/", page, true, V::Refuse);
    row("file page", K::Link, true, "file:///tmp/a.html", page, true, V::Refuse);
    row("about:blank page", K::Link, true, "about:blank", page, true, V::Refuse);
    row("data page", K::Link, true, "data:text/html,x", page, true, V::Refuse);
    row("host in other letter case", K::Link, true, "HTTP://LOCALHOST.example:80/", page, true, V::Obey);
    row("default port spelled out", K::Link, true, "https://svc.example:443/x", page, true, V::Obey);
    QTest::newRow("kw730 in another host's address")
        << QStringLiteral("http://kw730.evil.example/kw730/a?tarwin=1") << K::Link << true
        << QStringLiteral("http://kw730.evil.example/kw730/") << QString() << true << V::Refuse << QString();
    QTest::newRow("shell load elsewhere") << kOther + QStringLiteral("/?cpp_close=1") << K::Shell << true
                                          << QString() << QString() << false << V::Refuse << QString();
    // Only web requests reach the place where the engine names the initiator.
    QTest::newRow("command without a web scheme") << QStringLiteral("about:blank#cpp_close=1") << K::Other
                                                  << true << page << page << false << V::Refuse << QString();
}

void NavigationTrustTest::mayCommand()
{
    QFETCH(QString, url);
    QFETCH(NavigationKind, kind);
    QFETCH(bool, mainFrame);
    QFETCH(QString, initiator);
    QFETCH(QString, top);
    QFETCH(bool, known);
    QFETCH(CommandVerdict, verdict);
    QFETCH(QString, hops);
    const QStringList trusted =
        TrustedOrigins(kService, QStringLiteral("http://localhost.example https://svc.example"));
    NavigationRequest request;
    request.url = QUrl(url);
    request.kind = kind;
    request.mainFrame = mainFrame;
    request.initiator = QUrl(initiator);
    request.topDocument = QUrl(top);
    request.initiatorKnown = known;
    for (const QString &hop : hops.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        request.redirectedFrom.append(QUrl(hop));
    QCOMPARE(JudgeCommand(request, trusted), verdict);
    QCOMPARE(MayCommand(request, trusted), verdict == CommandVerdict::Obey);
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
