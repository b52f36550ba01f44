#include "InstalledClient.h"
#include "PortalProcess.h"
#include "WindowTitles.h"
#include "XWindows.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <QTest>
#include <cstdio>

#include <memory>

// The built client as a process, fed hostile input: a settings file it cannot use, login answers and
// version pages that are huge, binary or broken, a service that resets connections. Seen from outside:
// which windows map, how long it takes, and the settings file's bytes.
class BadInputTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void unusableSettingsFileIsKept_data();
    void unusableSettingsFileIsKept();
    void hostileLoginAnswer_data();
    void hostileLoginAnswer();
    void hostileVersionPage_data();
    void hostileVersionPage();
    void quitWhileWaiting_data();
    void quitWhileWaiting();

private:
    bool startClient();
    QByteArray settingsText(bool autoLogin) const;
    bool writeSettings(const QByteArray &text);
    QByteArray settingsBytes() const;
    QByteArray clientErrors() const;
    int loginRequests();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<PortalProcess> m_portal;
    std::unique_ptr<QProcess> m_client;
};

static const QString kMainTitle = QStringLiteral("^坏输入终端$");
// The login wait gives up after 30 s; a start and a page load add a little.
static const int kBoundedMs = 45000;

// Reproducible binary bytes: every value, NUL and CR/LF included.
static QByteArray garbage(int size)
{
    QByteArray bytes(size, '\0');
    quint32 x = 2463534242u;
    for (char &c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x >> 24);
    }
    return bytes;
}

void BadInputTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_portal = std::make_unique<PortalProcess>();
    QVERIFY2(m_portal->start({"--user", "bad:pw-bad:坏输入终端:坏输入用户"}),
             qPrintable(m_portal->errorString()));
}

void BadInputTest::cleanup()
{
    if (QTest::currentTestFailed())
        std::fputs(clientErrors().constData(), stderr);
    if (m_client && m_client->state() != QProcess::NotRunning) {
        m_client->kill();
        m_client->waitForFinished();
    }
    m_client.reset();
    m_portal.reset();
    if (m_dir) // a read-only file or folder must not outlive the case
        QProcess::execute(QStringLiteral("chmod"),
                          {QStringLiteral("-R"), QStringLiteral("u+w"), m_dir->path()});
    m_dir.reset();
    QVERIFY(xwindows::waitGone(titles::kLogin));
}

bool BadInputTest::startClient()
{
    m_client = std::make_unique<QProcess>();
    m_client->setWorkingDirectory(m_dir->path());
    // In a file, not a pipe: a client that writes much must not block on it.
    m_client->setStandardErrorFile(m_dir->filePath(QStringLiteral("client.err")));
    m_client->start(QStringLiteral(SORVANE_CLIENT_BIN), {});
    return m_client->waitForStarted();
}

// Upper-case keys, blanks and CRLF lines: any rewrite of the file changes its bytes.
QByteArray BadInputTest::settingsText(bool autoLogin) const
{
    return "; the user's own notes\r\n[LinkInfo]\r\nWEBROOT = " + m_portal->baseUrl().toUtf8() +
           "\r\nSavePass = 1\r\nAotoLogin = " + (autoLogin ? "1" : "0") +
           "\r\nUserId = bad\r\nUserPass = pw-bad\r\nUserRole =\r\n";
}

// The exact bytes, hostile ones included: the checks compare the file byte for byte.
bool BadInputTest::writeSettings(const QByteArray &text)
{
    QFile file(m_dir->filePath("mainkw.ini"));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

QByteArray BadInputTest::settingsBytes() const
{
    QFile file(m_dir->filePath("mainkw.ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QByteArray BadInputTest::clientErrors() const
{
    QFile file(m_dir->filePath(QStringLiteral("client.err")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int BadInputTest::loginRequests()
{
    return m_portal->requestLog().filter(QStringLiteral("/clilogin/clilogin.jsp")).size();
}

void BadInputTest::unusableSettingsFileIsKept_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<bool>("logsIn"); // the automatic login of the file's values goes through

    QTest::newRow("usable file: the login stores") << "usable" << true;
    QTest::newRow("binary garbage") << "garbage" << false;
    QTest::newRow("values followed by binary garbage") << "values+garbage" << true;
    QTest::newRow("48 MiB") << "huge" << false;
    QTest::newRow("read-only") << "read-only" << true;
    QTest::newRow("a directory") << "directory" << false;
}

void BadInputTest::unusableSettingsFileIsKept()
{
    QFETCH(QString, layout);
    QFETCH(bool, logsIn);
    const QString path = m_dir->filePath("mainkw.ini");
    if (layout == QLatin1String("usable") || layout == QLatin1String("read-only"))
        QVERIFY(writeSettings(settingsText(true)));
    else if (layout == QLatin1String("garbage"))
        QVERIFY(writeSettings(garbage(64 * 1024)));
    else if (layout == QLatin1String("values+garbage"))
        QVERIFY(writeSettings(settingsText(true) + garbage(64 * 1024)));
    else if (layout == QLatin1String("huge"))
        QVERIFY(writeSettings(settingsText(true) + QByteArray(48 << 20, ';')));
    if (layout == QLatin1String("read-only"))
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    if (layout == QLatin1String("directory")) {
        QVERIFY(QDir().mkpath(path));
        QFile inside(path + QStringLiteral("/keep.txt"));
        QVERIFY(inside.open(QIODevice::WriteOnly));
        QCOMPARE(inside.write("mine"), 4);
    }
    const QByteArray before = settingsBytes();
    const QFileDevice::Permissions permissions = QFile::permissions(path);

    QElapsedTimer clock;
    clock.start();
    QVERIFY(startClient());
    if (logsIn) {
        QVERIFY2(!xwindows::waitFor(kMainTitle, kBoundedMs).isEmpty(), "the file's login did not go through");
        QTRY_VERIFY_WITH_TIMEOUT(m_portal->requestLog().join('\n').contains("/clilogin/index03.jsp"), 20000);
    } else {
        const QString login = xwindows::waitFor(titles::kLogin, kBoundedMs);
        QVERIFY2(!login.isEmpty(), "no login window");
        // Enter comes after the start-up, where an automatic login would begin. Empty boxes make
        // the client ask for a name instead of logging in; filled ones would log in.
        QVERIFY(InstalledClient::loginWithEnter(login));
        const QString ask = xwindows::waitFor(titles::kPrompt, kBoundedMs);
        QVERIFY2(!ask.isEmpty(), "no request for a name: the boxes were filled from the file");
        QCOMPARE(loginRequests(), 0);
        QVERIFY(xwindows::sendKey(ask, QStringLiteral("Return")));
        QVERIFY(xwindows::waitGone(titles::kPrompt));
        QVERIFY(xwindows::sendKey(login, QStringLiteral("alt+F4")));
        QVERIFY(m_client->waitForFinished(15000));
        QCOMPARE(m_client->exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_client->exitCode(), 0);
    }
    qInfo("%s: %lld ms", qPrintable(layout), clock.elapsed());
    QVERIFY(clock.elapsed() < kBoundedMs);

    if (layout == QLatin1String("usable")) {
        // The control case: the login writes, and the file keeps the user's lines around its values.
        const QByteArray after = settingsBytes();
        QVERIFY2(after != before, after.constData());
        QVERIFY(after.startsWith("; the user's own notes\r\n[LinkInfo]\r\n"));
        QVERIFY2(after.contains("userid=bad\r\n") && after.contains("savepass=1\r\n"), after.constData());
        return;
    }
    if (layout == QLatin1String("directory")) {
        QVERIFY(QFileInfo(path).isDir());
        QFile inside(path + QStringLiteral("/keep.txt"));
        QVERIFY(inside.open(QIODevice::ReadOnly));
        QCOMPARE(inside.readAll(), QByteArray("mine"));
        return;
    }
    QVERIFY2(settingsBytes() == before, "the settings file was changed");
    QCOMPARE(QFile::permissions(path), permissions);
}

void BadInputTest::hostileLoginAnswer_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("outcome"); // "main", "message", or "either" when the time limit decides

    // Ten MiB of text take the engine about as long as the login waits, so either the answer is read
    // (and logs in) or the wait gives up with the fixed message; the renderer stays busy for a while.
    QTest::newRow("10 MiB successful answer")
        << "padded:" + QString::number(10 << 20) + ":x%7Cloginok%7Cok%7C坏输入终端%7C"
        << "either";
    QTest::newRow("1 MiB successful answer")
        << "padded:" + QString::number(1 << 20) + ":x%7Cloginok%7Cok%7C坏输入终端%7C"
        << "main";
    // Bytes no text has are sniffed as a download, not read as an answer.
    QTest::newRow("NUL bytes in the message") << "body:x%7Cloginerr%7Cbad%00pass%00%7C-%7C-"
                                              << "message";
    QTest::newRow("NUL bytes in the user information") << "body:x%7Cloginok%7Cok%7C坏输入终端%7Cin%00fo"
                                                       << "message";
    QTest::newRow("invalid UTF-8 in the message") << "body:x%7Cloginerr%7C%FF%FEbad%C3%28%E4%B8%7C-%7C-"
                                                  << "message";
    QTest::newRow("invalid UTF-8 in the user information") << "body:x%7Cloginok%7Cok%7C坏输入终端%7C%FF%C3%28"
                                                           << "main";
    QTest::newRow("1 MiB of binary garbage") << "garbage:1048576"
                                             << "message";
    QTest::newRow("connection reset") << "reset"
                                      << "message";
}

void BadInputTest::hostileLoginAnswer()
{
    QFETCH(QString, fault);
    QFETCH(QString, outcome);
    QVERIFY(m_portal->setFault(QStringLiteral("/clilogin/clilogin.jsp"), fault));
    QVERIFY(writeSettings(settingsText(true)));

    QElapsedTimer clock;
    clock.start();
    QVERIFY(startClient());
    const QString either = QStringLiteral("^(登录失败1|坏输入终端)$");
    const QString seen = xwindows::waitFor(outcome == QLatin1String("main")      ? kMainTitle
                                           : outcome == QLatin1String("message") ? titles::kLoginFailed
                                                                                 : either,
                                           kBoundedMs);
    QVERIFY2(!seen.isEmpty(), "neither a message nor the main window");
    qInfo("%s after %lld ms", xwindows::visible(kMainTitle).isEmpty() ? "message" : "main window",
          clock.elapsed());
    QVERIFY(clock.elapsed() < kBoundedMs);
    if (!xwindows::visible(kMainTitle).isEmpty()) {
        // The login stored its values: the file is still a whole settings file.
        QTRY_VERIFY_WITH_TIMEOUT(settingsBytes().contains("userid=bad\r\n"), 10000);
        QVERIFY(settingsBytes().contains("userpass=pw-bad\r\n"));
        QVERIFY(settingsBytes().startsWith("; the user's own notes\r\n"));
        return;
    }
    const QString box = xwindows::waitFor(titles::kLoginFailed, 1000);
    QVERIFY(!box.isEmpty());
    // A huge message must not make a box larger than the screen.
    const QRect place = xwindows::geometry(box);
    QVERIFY2(place.width() <= 1280 && place.height() <= 1024,
             qPrintable(QStringLiteral("%1x%2").arg(place.width()).arg(place.height())));
    QCOMPARE(settingsBytes(), settingsText(true));
    QVERIFY(xwindows::sendKey(box, QStringLiteral("Return")));
    QVERIFY(xwindows::waitGone(titles::kLoginFailed));
    QCOMPARE(m_client->state(), QProcess::Running);
    const QString login = xwindows::waitFor(titles::kLogin, 5000);
    QVERIFY(!login.isEmpty());
    if (outcome == QLatin1String("either"))
        return; // the renderer is still laying out the big page; the next login would wait for it

    // Still responsive: once the service answers properly, the same window logs in.
    QVERIFY(m_portal->setFault(QStringLiteral("/clilogin/clilogin.jsp"), QString()));
    QVERIFY(InstalledClient::loginWithEnter(login));
    QVERIFY2(!xwindows::waitFor(kMainTitle, kBoundedMs).isEmpty(), "no login after the service recovered");
}

void BadInputTest::hostileVersionPage_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("offersUpgrade"); // fields were found and differ from ours

    // Blanks and line ends separate fields too, so lines of text read as a different version.
    QTest::newRow("1 MiB of text lines") << "large:1048576" << true;
    QTest::newRow("binary garbage") << "garbage:65536" << false;
    QTest::newRow("NUL and invalid UTF-8 after our version") << "body:3.0.05%00%FF;3.0.01" << false;
    QTest::newRow("invalid UTF-8 after our version") << "body:3.0.05%FF;3.0.01" << true;
    QTest::newRow("connection reset") << "reset" << false;
}

void BadInputTest::hostileVersionPage()
{
    QFETCH(QString, fault);
    QFETCH(bool, offersUpgrade);
    QVERIFY(m_portal->setFault(QStringLiteral("/clilogin/ver.html"), fault));
    QVERIFY(writeSettings(settingsText(true)));

    QElapsedTimer clock;
    clock.start();
    QVERIFY(startClient());
    if (!offersUpgrade) {
        QVERIFY2(!xwindows::waitFor(kMainTitle, kBoundedMs).isEmpty(), "no main window");
        qInfo("main window after %lld ms", clock.elapsed());
        return;
    }
    // Whatever the page says differs from our version: the user is asked, and accepting starts an
    // upgrader that is not beside this build, so the login window stays.
    const QString question = xwindows::waitFor(titles::kUpgradeQuestion, kBoundedMs);
    QVERIFY2(!question.isEmpty(), "no upgrade question");
    qInfo("question after %lld ms", clock.elapsed());
    QVERIFY(xwindows::sendKey(question, QStringLiteral("Return")));
    QVERIFY(xwindows::waitGone(titles::kUpgradeQuestion));
    const QString login = xwindows::waitFor(titles::kLogin, 5000);
    QVERIFY(!login.isEmpty());

    // Checked once in this run: the next login goes straight in. Its request reaches the portal
    // only after the client has dealt with the answer; the answer is held back meanwhile, so the
    // main window cannot come from it yet.
    QVERIFY(m_portal->setFault(QStringLiteral("/clilogin/clilogin.jsp"), QStringLiteral("delay:3000")));
    QVERIFY(InstalledClient::loginWithEnter(login));
    QTRY_COMPARE_WITH_TIMEOUT(loginRequests(), 2, 15000);
    QCOMPARE(m_client->state(), QProcess::Running);
    QVERIFY(xwindows::visible(kMainTitle).isEmpty());
    QVERIFY(!xwindows::visible(titles::kLogin).isEmpty());
    QCOMPARE(settingsBytes(), settingsText(true));
    QVERIFY2(!xwindows::waitFor(kMainTitle, kBoundedMs).isEmpty(), "no second login");
}

void BadInputTest::quitWhileWaiting_data()
{
    QTest::addColumn<QString>("waitingFor"); // the login answer, or the user's answer to the question
    QTest::addColumn<QString>("quit");       // the login window's close, or the termination signal
    QTest::newRow("hanging login answer, login window closed") << "answer"
                                                               << "close";
    QTest::newRow("hanging login answer, terminated") << "answer"
                                                      << "signal";
    QTest::newRow("upgrade question open, terminated") << "question"
                                                       << "signal";
    // A window asked for by a page that nobody took is a page of the profile too.
    QTest::newRow("window nobody took, terminated") << "unclaimed"
                                                    << "signal";
}

// A quit ends the client at once, whatever it waits for, and does nothing else on the way out.
void BadInputTest::quitWhileWaiting()
{
    QFETCH(QString, waitingFor);
    QFETCH(QString, quit);
    QByteArray settings = settingsText(true);
    if (waitingFor == QLatin1String("answer"))
        QVERIFY(m_portal->setFault(QStringLiteral("/clilogin/clilogin.jsp"), QStringLiteral("hang")));
    else if (waitingFor == QLatin1String("question"))
        QVERIFY(m_portal->setVersion(QStringLiteral("3.0.06;3.0.01;3.0.09")));
    else // the version page there opens the window
        settings.replace(m_portal->baseUrl().toUtf8(),
                         m_portal->baseUrl().toUtf8() + "/login-test/unclaimed");
    QVERIFY(writeSettings(settings));
    QVERIFY(startClient());
    const QString login = xwindows::waitFor(titles::kLogin, kBoundedMs);
    QVERIFY(!login.isEmpty());
    if (waitingFor == QLatin1String("answer"))
        QTRY_VERIFY_WITH_TIMEOUT(m_portal->requestLog().join('\n').contains("/clilogin/clilogin.jsp"), 15000);
    else if (waitingFor == QLatin1String("question"))
        QVERIFY2(!xwindows::waitFor(titles::kUpgradeQuestion, kBoundedMs).isEmpty(), "no upgrade question");
    else
        QVERIFY2(!xwindows::waitFor(kMainTitle, kBoundedMs).isEmpty(), "no main window");

    QElapsedTimer clock;
    clock.start();
    if (quit == QLatin1String("close"))
        QVERIFY(xwindows::sendKey(login, QStringLiteral("alt+F4")));
    else
        m_client->terminate();
    // Well inside the 30 s that a wait may last.
    QVERIFY2(m_client->waitForFinished(10000), "the client went on waiting after the quit");
    qInfo("ended %lld ms after the quit", clock.elapsed());
    QCOMPARE(m_client->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_client->exitCode(), 0);
    // Every page went before the profile it was made with.
    QVERIFY2(!clientErrors().contains("still not deleted"), clientErrors().constData());
    if (waitingFor == QLatin1String("unclaimed"))
        return;
    // Nothing of the interrupted login happened: no main window, no settings stored.
    QVERIFY(xwindows::visible(kMainTitle).isEmpty());
    QCOMPARE(settingsBytes(), settings);
}

QTEST_GUILESS_MAIN(BadInputTest)
#include "tst_badinput.moc"
