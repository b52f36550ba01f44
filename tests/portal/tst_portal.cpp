// The portal's fixed addresses, login exchange, session cookie, download and request log,
// exercised over HTTP against the real server.
#include "HttpClient.h"
#include "PortalProcess.h"

#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

enum class Encoding { Percent, FormPlus, Raw };

QByteArray encodeValue(const QString &value, Encoding encoding)
{
    switch (encoding) {
    case Encoding::Percent:
        return QUrl::toPercentEncoding(value);
    case Encoding::FormPlus:
        return QUrl::toPercentEncoding(value, " ").replace(' ', '+');
    case Encoding::Raw:
        return value.toUtf8();
    }
    return {};
}

QUrl loginUrl(const PortalProcess &portal, const QString &user, const QString &password,
              Encoding encoding = Encoding::Percent)
{
    const QByteArray query = "mac=0A1B2C3D&ver=3.0.05&userid=" + encodeValue(user, encoding) +
                             "&userpass=" + encodeValue(password, encoding) + "&userrole=000";
    return QUrl::fromEncoded(portal.baseUrl().toUtf8() + "/clilogin/clilogin.jsp?" + query);
}

bool showsNotLoggedIn(const HttpResult &page)
{
    return page.body.contains("<title>未登录</title>") && page.body.contains("NOT-LOGGED-IN");
}

} // namespace

Q_DECLARE_METATYPE(Encoding)

class PortalTest : public QObject
{
    Q_OBJECT

private slots:
    void fixedAddresses_data();
    void fixedAddresses();
    void login_data();
    void login();
    void sessionPages_data();
    void sessionPages();
    void pageTemplates_data();
    void pageTemplates();
    void download_data();
    void download();
    void requestLog();
};

void PortalTest::fixedAddresses_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("contains");

    QTest::newRow("version page") << "/clilogin/ver.html" << 200 << QByteArray("text/plain")
                                  << QByteArray("3.0.05;3.0.01;3.0.09");
    QTest::newRow("registration") << "/clilogin/reg.jsp" << 200 << QByteArray("text/html")
                                  << QByteArray("<title>用户注册</title>");
    QTest::newRow("password") << "/clilogin/getpass.jsp" << 200 << QByteArray("text/html")
                              << QByteArray("<title>找回密码</title>");
    QTest::newRow("tab page") << "/kw730/news.jsp?id=3&tarwin=1" << 200 << QByteArray("text/html")
                              << QByteArray("<span id=\"news-id\">3</span>");
    QTest::newRow("video page") << "/kw730/video.jsp?ch=2&tarwin=2" << 200 << QByteArray("text/html")
                                << QByteArray("<span id=\"video-channel\">2</span>");
    QTest::newRow("link pop-up") << "/popup/linkpop.html?newwin=1" << 200 << QByteArray("text/html")
                                 << QByteArray("action=close");
    QTest::newRow("home folder") << "/" << 200 << QByteArray("text/html") << QByteArray("Sorvane资讯中心");
    QTest::newRow("stylesheet") << "/css/portal.css" << 200 << QByteArray("text/css") << QByteArray("body");
    QTest::newRow("beacon") << "/__beacon?page=index02" << 204 << QByteArray() << QByteArray();
    QTest::newRow("missing") << "/nosuch.html" << 404 << QByteArray("text/html") << QByteArray("404");
    QTest::newRow("session page by another spelling")
        << "/clilogin//index01.jsp" << 404 << QByteArray("text/html") << QByteArray("404");
    QTest::newRow("outside the web root")
        << "/kw730/%2e%2e/%2e%2e/%2e%2e/etc/hostname" << 404 << QByteArray("text/html") << QByteArray("404");
}

void PortalTest::fixedAddresses()
{
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, contains);

    PortalProcess portal;
    QVERIFY2(portal.start(), qPrintable(portal.errorString()));
    HttpClient client;
    const HttpResult result = client.get(QUrl::fromEncoded(portal.baseUrl().toUtf8() + path.toUtf8()));
    QCOMPARE(result.status, status);
    QVERIFY2(result.contentType.startsWith(contentType), result.contentType.constData());
    QVERIFY2(result.body.contains(contains), result.body.left(300).constData());
}

void PortalTest::login_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<QString>("answer");

    const QString denied = QStringLiteral("x|loginerr|用户名或密码错误|-|-");
    const QStringList special{"--user", "u1:a&b#c+d e中文"};
    QTest::newRow("demo user") << QStringList() << "demo"
                               << "demo123" << Encoding::Percent
                               << "x|loginok|登录成功|Sorvane金融终端|用户:demo";
    QTest::newRow("wrong password") << QStringList() << "demo"
                                    << "demo1234" << Encoding::Percent << denied;
    QTest::newRow("unknown user") << QStringList() << "nobody"
                                  << "demo123" << Encoding::Percent << denied;
    QTest::newRow("no credentials") << QStringList() << ""
                                    << "" << Encoding::Percent << denied;
    QTest::newRow("special password")
        << special << "u1"
        << "a&b#c+d e中文" << Encoding::Percent << "x|loginok|登录成功|Sorvane金融终端|用户:u1";
    QTest::newRow("blank sent as plus")
        << special << "u1"
        << "a&b#c+d e中文" << Encoding::FormPlus << "x|loginok|登录成功|Sorvane金融终端|用户:u1";
    QTest::newRow("unencoded ampersand cuts the password") << QStringList{"--user", "u3:ab&cd"} << "u3"
                                                           << "ab&cd" << Encoding::Raw << denied;
    QTest::newRow("title and info") << QStringList{"--user", "u2:pw:示例终端:等级:金卡"} << "u2"
                                    << "pw" << Encoding::Percent << "x|loginok|登录成功|示例终端|等级:金卡";
    QTest::newRow("Chinese user name")
        << QStringList{"--user", "张三:密码"} << "张三"
        << "密码" << Encoding::Percent << "x|loginok|登录成功|Sorvane金融终端|用户:张三";
    QTest::newRow("given users replace the demo user") << QStringList{"--user", "u2:pw"} << "demo"
                                                       << "demo123" << Encoding::Percent << denied;
}

void PortalTest::login()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(Encoding, encoding);
    QFETCH(QString, answer);

    PortalProcess portal;
    QVERIFY2(portal.start(arguments), qPrintable(portal.errorString()));
    HttpClient client;
    const HttpResult result = client.get(loginUrl(portal, user, password, encoding));
    QCOMPARE(result.status, 200);
    QCOMPARE(QString::fromUtf8(result.body), answer);
    QCOMPARE(result.cacheControl, QByteArray("no-store"));
    const bool accepted = answer.contains(QLatin1String("|loginok|"));
    QCOMPARE(result.setCookie.startsWith("SVSESSION="), accepted);
    // A session cookie: no lifetime of its own.
    QVERIFY(!result.setCookie.contains("Expires") && !result.setCookie.contains("Max-Age"));
}

void PortalTest::sessionPages_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("title");

    QTest::newRow("head") << "/clilogin/index01.jsp" << QByteArray("<title>Sorvane金融终端 - 导航</title>");
    QTest::newRow("body") << "/clilogin/index02.jsp"
                          << QByteArray("<title>Sorvane金融终端 - 行情首页</title>");
    QTest::newRow("end") << "/clilogin/index03.jsp" << QByteArray("<title>Sorvane金融终端 - 页脚</title>");
    QTest::newRow("personal") << "/clilogin/myspace1.jsp" << QByteArray("<title>我的空间</title>");
}

void PortalTest::sessionPages()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, title);

    PortalProcess portal;
    QVERIFY2(portal.start(), qPrintable(portal.errorString()));
    HttpClient browser;
    const QUrl page = portal.url(path);

    HttpResult before = browser.get(page);
    QCOMPARE(before.status, 200);
    QVERIFY(showsNotLoggedIn(before));
    QCOMPARE(before.cacheControl, QByteArray("no-store"));

    QCOMPARE(browser.get(loginUrl(portal, "demo", "demo123")).status, 200);
    const HttpResult after = browser.get(page);
    QVERIFY2(after.body.contains(title), after.body.left(300).constData());
    QVERIFY(!after.body.contains("NOT-LOGGED-IN"));
    QCOMPARE(after.cacheControl, QByteArray("no-store"));

    HttpClient forger;
    forger.manager().cookieJar()->setCookiesFromUrl({QNetworkCookie("SVSESSION", "0123456789abcdef")}, page);
    QVERIFY(showsNotLoggedIn(forger.get(page)));

    // Deleting the cookie also forgets the token: replaying the old cookie does not log in.
    const QList<QNetworkCookie> session = browser.manager().cookieJar()->cookiesForUrl(page);
    QCOMPARE(session.size(), 1);
    const HttpResult deleted = browser.get(portal.url("/clilogin/deletecook.jsp"));
    QCOMPARE(deleted.status, 200);
    QVERIFY(deleted.setCookie.startsWith("SVSESSION=;"));
    QVERIFY(deleted.setCookie.contains("Max-Age=0"));
    QVERIFY(browser.manager().cookieJar()->cookiesForUrl(page).isEmpty());
    QVERIFY(showsNotLoggedIn(browser.get(page)));

    HttpClient replay;
    replay.manager().cookieJar()->setCookiesFromUrl(session, page);
    QVERIFY(showsNotLoggedIn(replay.get(page)));
}

void PortalTest::pageTemplates_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("contains");
    QTest::addColumn<QString>("absent");

    // cpp_url is used exactly as given, so the pages carry absolute addresses of this very server.
    QTest::newRow("absolute pop-up address") << "/clilogin/index01.jsp"
                                             << "cpp_url=%ROOTENC%%2Fpopup%2Flinkpop.html"
                                             << "{{";
    QTest::newRow("home address for the system browser") << "/clilogin/index02.jsp"
                                                         << "action=webhome&amp;linkinfo=%ROOT%/index.html"
                                                         << "{{";
    QTest::newRow("user of the session") << "/clilogin/myspace1.jsp"
                                         << "<b id=\"myspace-user\">demo</b>"
                                         << "{{";
    QTest::newRow("query values are escaped") << "/kw730/news.jsp?id=%3Cscript%3Ex"
                                              << "&lt;script&gt;x"
                                              << "<script>x";
}

void PortalTest::pageTemplates()
{
    QFETCH(QString, path);
    QFETCH(QString, contains);
    QFETCH(QString, absent);

    PortalProcess portal;
    QVERIFY2(portal.start(), qPrintable(portal.errorString()));
    HttpClient browser;
    QCOMPARE(browser.get(loginUrl(portal, "demo", "demo123")).status, 200);
    const HttpResult page = browser.get(QUrl::fromEncoded(portal.baseUrl().toUtf8() + path.toUtf8()));
    QCOMPARE(page.status, 200);
    contains.replace("%ROOTENC%", QString::fromLatin1(QUrl::toPercentEncoding(portal.baseUrl())));
    contains.replace("%ROOT%", portal.baseUrl());
    QVERIFY2(page.body.contains(contains.toUtf8()), qPrintable(contains));
    QVERIFY(!page.body.contains(absent.toUtf8()));
}

void PortalTest::download_data()
{
    QTest::addColumn<qint64>("size"); // -1: no --download option

    QTest::newRow("program") << qint64(3 * 1024 * 1024 + 17);
    QTest::newRow("one byte") << qint64(1);
    QTest::newRow("empty file") << qint64(0);
    QTest::newRow("not configured") << qint64(-1);
}

void PortalTest::download()
{
    QFETCH(qint64, size);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath("clikw730.new");
    QByteArray content(size > 0 ? size : 0, Qt::Uninitialized);
    for (char &byte : content)
        byte = static_cast<char>(QRandomGenerator::global()->bounded(256));
    QStringList arguments;
    if (size >= 0) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(content), qint64(content.size()));
        arguments << "--download" << file;
    }

    PortalProcess portal;
    QVERIFY2(portal.start(arguments), qPrintable(portal.errorString()));
    HttpClient client;
    const HttpResult result = client.get(portal.url("/download/clikw730exe"));
    if (size < 0) {
        QCOMPARE(result.status, 404);
        return;
    }
    QCOMPARE(result.status, 200);
    QCOMPARE(result.contentType, QByteArray("application/octet-stream"));
    QCOMPARE(result.contentLength, size);
    QVERIFY(result.body == content);

    // The file is read when asked for, so one that has gone away is not found.
    QVERIFY(QFile::remove(file));
    QCOMPARE(client.get(portal.url("/download/clikw730exe")).status, 404);
}

void PortalTest::requestLog()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString logFile = dir.filePath("requests.log");
    PortalProcess portal;
    QVERIFY2(portal.start({"--log", logFile, "--user", "u1:s3cr&t pass"}), qPrintable(portal.errorString()));
    HttpClient client;
    QCOMPARE(client.get(loginUrl(portal, "u1", "s3cr&t pass")).status, 200);
    QCOMPARE(client.get(portal.url("/__beacon?page=index02")).status, 204);
    QVERIFY(portal.setVersion("3.0.06"));

    const QStringList lines = portal.requestLog();
    QCOMPARE(lines.size(), 2);
    const QStringList login = lines.at(0).split(QLatin1Char('\t'));
    QCOMPARE(login.size(), 3);
    QVERIFY2(QDateTime::fromString(login.at(0), Qt::ISODateWithMs).isValid(), qPrintable(login.at(0)));
    QCOMPARE(login.at(1), QStringLiteral("/clilogin/clilogin.jsp"));
    QCOMPARE(login.at(2), QStringLiteral("mac=0A1B2C3D&ver=3.0.05&userid=u1&userpass=***&userrole=000"));
    QCOMPARE(lines.at(1).section(QLatin1Char('\t'), 1), QStringLiteral("/__beacon\tpage=index02"));

    QFile written(logFile);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QString fileText = QString::fromUtf8(written.readAll());
    QCOMPARE(fileText, lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    QVERIFY(!fileText.contains(QLatin1String("s3cr")));
}

QTEST_GUILESS_MAIN(PortalTest)
#include "tst_portal.moc"
