#include "WindowTitles.h"
#include "XWindows.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The built client as a real process under the test's display, seen from outside.
class ClientProcessTest : public QObject
{
    Q_OBJECT

private slots:
    void secondStartShowsMessageAndEnds();
    void startAfterKillSucceeds();
    void closingTheLoginWindowEndsTheClient();
    void terminationSignalEndsTheClientCleanly();
    void lockThatCannotBeTakenIsNoSecondStart();

private:
    static void start(QProcess &process, const QString &folder);
};

void ClientProcessTest::start(QProcess &process, const QString &folder)
{
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(SORVANE_CLIENT_BIN), {});
    QVERIFY(process.waitForStarted());
}

void ClientProcessTest::secondStartShowsMessageAndEnds()
{
    QTemporaryDir first;
    QTemporaryDir second;
    QProcess running;
    start(running, first.path());
    QVERIFY(!xwindows::waitFor(titles::kLogin).isEmpty());

    QProcess again;
    start(again, second.path());
    const QString box = xwindows::waitFor(titles::kPrompt);
    QVERIFY2(!box.isEmpty(), "the second start shows no message");
    QCOMPARE(again.state(), QProcess::Running); // waits for the user
    QVERIFY(xwindows::sendKey(box, QStringLiteral("Return")));
    QVERIFY(again.waitForFinished(10000));
    QCOMPARE(again.exitStatus(), QProcess::NormalExit);
    QCOMPARE(again.exitCode(), 0);
    // It read and wrote no settings and opened no window of its own.
    QVERIFY(!QFile::exists(second.filePath("mainkw.ini")));
    QCOMPARE(xwindows::visible(titles::kLogin).size(), 1);
    QCOMPARE(running.state(), QProcess::Running);

    running.kill();
    running.waitForFinished();
}

void ClientProcessTest::startAfterKillSucceeds()
{
    QTemporaryDir folder;
    QProcess first;
    start(first, folder.path());
    QVERIFY(!xwindows::waitFor(titles::kLogin).isEmpty());
    first.kill(); // SIGKILL: no chance to clean up
    QVERIFY(first.waitForFinished());
    QVERIFY(xwindows::waitGone(titles::kLogin));

    QProcess next;
    start(next, folder.path());
    QVERIFY(!xwindows::waitFor(titles::kLogin).isEmpty());
    QVERIFY(xwindows::visible(titles::kPrompt).isEmpty());
    next.kill();
    next.waitForFinished();
}

void ClientProcessTest::closingTheLoginWindowEndsTheClient()
{
    QTemporaryDir folder;
    QProcess client;
    start(client, folder.path());
    const QString login = xwindows::waitFor(titles::kLogin);
    QVERIFY(!login.isEmpty());
    // The window manager's close, as the user's Alt+F4 asks for it.
    QVERIFY(xwindows::sendKey(login, QStringLiteral("alt+F4")));
    QVERIFY2(xwindows::waitGone(titles::kLogin), "the login window stayed after alt+F4");
    QVERIFY2(client.waitForFinished(30000), "the client did not end after its login window closed");
    QCOMPARE(client.exitStatus(), QProcess::NormalExit);
    QCOMPARE(client.exitCode(), 0);
}

void ClientProcessTest::terminationSignalEndsTheClientCleanly()
{
    QTemporaryDir folder;
    QProcess client;
    start(client, folder.path());
    QVERIFY(!xwindows::waitFor(titles::kLogin).isEmpty());
    client.terminate();
    QVERIFY(client.waitForFinished(15000));
    QCOMPARE(client.exitStatus(), QProcess::NormalExit);
    QCOMPARE(client.exitCode(), 0);
}

// A lock file that cannot be opened (here: a folder in its place) is no running client.
void ClientProcessTest::lockThatCannotBeTakenIsNoSecondStart()
{
    QTemporaryDir folder;
    QTemporaryDir runtime;
    QVERIFY(QDir(runtime.path()).mkdir(QStringLiteral("kw730.lock")));
    QProcess client;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    client.setProcessEnvironment(environment);
    client.setWorkingDirectory(folder.path());
    client.start(QStringLiteral(SORVANE_CLIENT_BIN), {});
    QVERIFY(client.waitForStarted());

    QVERIFY2(!xwindows::waitFor(titles::kLogin).isEmpty(), "no login window");
    QVERIFY(xwindows::visible(titles::kPrompt).isEmpty());
    QByteArray errors;
    QTRY_VERIFY2((errors += client.readAllStandardError()).contains("without the single-instance guard"),
                 errors.left(2000).constData());
    client.terminate();
    QVERIFY(client.waitForFinished(15000));
}

QTEST_GUILESS_MAIN(ClientProcessTest)
#include "tst_clientprocess.moc"
