#include "PortalProcess.h"
#include "Prompt.h"
#include "TestCertificates.h"
#include "TestFiles.h"
#include "UpgradeProcedure.h"
#include "UpgraderTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <functional>

using namespace UpgraderTest;

namespace {

// A signature made by the minisign tool itself, so the upgrader is checked against the format's
// own implementation.
QByteArray minisignSign(const QString &key, const QString &file, const QString &comment,
                        const QStringList &extra = {})
{
    const QString out = file + QStringLiteral(".minisig");
    QFile::remove(out);
    QProcess tool;
    tool.start(QStringLiteral("minisign"),
               QStringList{"-S", "-s", key, "-m", file, "-x", out, "-t", comment} + extra);
    if (!tool.waitForFinished(10000) || tool.exitCode() != 0)
        return {};
    QFile signature(out);
    return signature.open(QIODevice::ReadOnly) ? signature.readAll() : QByteArray();
}

QString servedAs(const QByteArray &text)
{
    return QStringLiteral("body:") + QString::fromLatin1(QUrl::toPercentEncoding(QString::fromLatin1(text)));
}

// The steps a run took, in order, so a failed comparison says which one differs.
QString stepsOf(const UpgradeResult &result)
{
    QStringList steps;
    if (result.downloaded)
        steps << QStringLiteral("downloaded");
    if (result.stopped)
        steps << QStringLiteral("stopped");
    if (result.replaced)
        steps << QStringLiteral("replaced");
    if (result.restarted)
        steps << QStringLiteral("restarted");
    return steps.join(QLatin1Char(' '));
}

// Records what the procedure does to its window.
class RecordingView : public UpgradeView
{
public:
    QStringList lines; // "1 text", "2 text", "p text"; a hidden line is "1 -"
    int closes = 0;
    std::function<void(const QString &)> onFirstLine;

    void setFirstLine(const QString &text, bool visible) override
    {
        record(QStringLiteral("1"), text, visible);
        if (onFirstLine)
            onFirstLine(text);
    }
    void setSecondLine(const QString &text, bool visible) override
    {
        record(QStringLiteral("2"), text, visible);
    }
    void setProgressLine(const QString &text, bool visible) override
    {
        record(QStringLiteral("p"), text, visible);
    }
    void processPendingEvents() override { QCoreApplication::processEvents(); }
    void closeWindow() override { ++closes; }

private:
    void record(const QString &which, const QString &text, bool visible)
    {
        lines << which + QLatin1Char(' ') + (visible ? text : QStringLiteral("-"));
    }
};

// Answers every request with a redirect to the same path at the given base: one hop before the portal.
class Redirector : public QTcpServer
{
public:
    explicit Redirector(QString target)
        : m_target(std::move(target))
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    const QByteArray request = socket->readAll();
                    if (!request.contains("\r\n\r\n"))
                        return;
                    const QByteArray path = request.split(' ').value(1);
                    socket->write("HTTP/1.1 302 Found\r\nLocation: " + m_target.toUtf8() + path +
                                  "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

private:
    QString m_target;
};

} // namespace

class TestUpgradeProcedure : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void fullUpdate();
    void noArgument();
    void pathWithBlanks();
    void caseDifferingNameStopsNothing();
    void twoProcessesOnlyLastStopped();
    void missingFolderCreated();
    void followsRedirect();
    void failedDownload_data();
    void failedDownload();
    void concurrentUpgradersInstallOnlySigned();
    void httpsDownload_data();
    void httpsDownload();
    void stalledDownloadGivesUp();
    void copyFails();

private:
    UpgradeSetup setupFor(const QStringList &arguments);
    UpgradeResult run(const UpgradeSetup &setup);
    QString path(const QString &relative) const { return QDir(m_dir->path()).filePath(relative); }
    QString host() const { return QUrl(m_portal.baseUrl()).authority(); }

    QTemporaryDir m_served; // the new program the portal hands out
    QString m_newProgram;
    QMap<QString, QByteArray> m_signatures; // refused ones, by kind
    PortalProcess m_portal;
    QTemporaryDir *m_dir = nullptr;
    QStringList m_prompts;
    RecordingView *m_view = nullptr;
};

void TestUpgradeProcedure::initTestCase()
{
    m_newProgram = QDir(m_served.path()).filePath(QStringLiteral("clikw730-new"));
    QVERIFY(installStandIn(Build::New, m_newProgram, 3 << 20)); // big enough for progress to show
    QVERIFY2(m_portal.start({QStringLiteral("--download"), m_newProgram}),
             qPrintable(m_portal.errorString()));

    const QString demoKey = QStringLiteral(SORVANE_SOURCE_DIR "/packaging/update-keys/demo.key");
    // A version far ahead: each refused kind below is refused for its own fault, not its version.
    const QString signedName = QStringLiteral("timestamp:1\tfile:clikw730exe\tversion:9.9.99\thashed");
    const QString otherKey = QDir(m_served.path()).filePath(QStringLiteral("other.key"));
    QCOMPARE(
        QProcess::execute(QStringLiteral("minisign"), {"-G", "-W", "-p", otherKey + ".pub", "-s", otherKey}),
        0);
    const QString copy = QDir(m_served.path()).filePath(QStringLiteral("copy"));
    QVERIFY(QFile::copy(m_newProgram, copy));
    m_signatures["other key"] = minisignSign(otherKey, copy, signedName);
    m_signatures["other file"] =
        minisignSign(demoKey, copy, QStringLiteral("timestamp:1\tfile:clikw730.old"));
    m_signatures["legacy"] = minisignSign(demoKey, copy, signedName, {QStringLiteral("-l")});
    // As releases were signed before they carried their version.
    m_signatures["no version"] = minisignSign(demoKey, copy, QStringLiteral("timestamp:1\tfile:clikw730exe"));
    QByteArray comment = minisignSign(demoKey, copy, signedName);
    m_signatures["changed comment"] = comment.replace("timestamp:1", "timestamp:2");
    QFile tampered(copy);
    QVERIFY(tampered.open(QIODevice::ReadWrite) && tampered.seek(tampered.size() / 2));
    const char byte = tampered.peek(1).at(0);
    QVERIFY(tampered.putChar(char(byte ^ 1)));
    tampered.close();
    m_signatures["one byte changed"] = minisignSign(demoKey, copy, signedName);
    for (auto it = m_signatures.cbegin(); it != m_signatures.cend(); ++it)
        QVERIFY2(it.value().startsWith("untrusted comment:"), qPrintable(it.key()));
    SetPromptHandler([this](const PromptRequest &request) {
        QCOMPARE(request.caption, QStringLiteral("提示信息"));
        m_prompts << request.text;
    });
}

void TestUpgradeProcedure::init()
{
    m_dir = new QTemporaryDir;
    m_prompts.clear();
    m_view = new RecordingView;
    QVERIFY(m_portal.setFault(QStringLiteral("/download/clikw730exe"), QString()));
    QVERIFY(m_portal.setFault(QStringLiteral("/download/clikw730exe.minisig"), QString()));
    QVERIFY(m_portal.setVersion(QStringLiteral("3.0.05;3.0.01;3.0.09")));
}

void TestUpgradeProcedure::cleanup()
{
    // Stand-ins run from the folders below; end whatever is left of them.
    QDirIterator folders(m_dir->path(), QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    killAll(m_dir->path());
    while (folders.hasNext())
        killAll(folders.next());
    qunsetenv("STANDIN_LOG_DIR");
    delete m_view;
    delete m_dir;
}

UpgradeSetup TestUpgradeProcedure::setupFor(const QStringList &arguments)
{
    UpgradeSetup setup;
    setup.arguments = arguments;
    setup.ownPath = path(QStringLiteral("zunup"));
    setup.downloadBase = m_portal.baseUrl();
    // The fixed waits only give a stopped client time to go; a stand-in goes at once.
    setup.waitAfterStopMs = 100;
    setup.furtherWaitMs = 0;
    setup.waitAfterCopyMs = 0;
    setup.limits.stallMs = 10000;
    return setup;
}

UpgradeResult TestUpgradeProcedure::run(const UpgradeSetup &setup)
{
    UpgradeProcedure procedure(setup, *m_view);
    return procedure.run();
}

void TestUpgradeProcedure::fullUpdate()
{
    QVERIFY(QDir().mkpath(path("Sv")));
    const QString client = path("Sv/clikw730");
    // An older release than the one announced.
    QVERIFY(installStandIn(Build::Old, client, 0, QStringLiteral("3.0.04")));
    QFile stale(path("Sv/downfile.tmp")); // left by an earlier attempt
    QVERIFY(stale.open(QIODevice::WriteOnly) && stale.write("stale") == 5);
    stale.close();
    const qint64 running = startStandIn(client, {"000"});
    QVERIFY(running > 0);

    const UpgradeResult result = run(setupFor({client, QStringLiteral("000")}));

    QCOMPARE(stepsOf(result), QStringLiteral("downloaded stopped replaced restarted"));
    QVERIFY(waitUntilGone(running));
    QCOMPARE(markerOf(client), QStringLiteral("new"));
    QCOMPARE(FileHash(path("Sv/downfile.tmp")), FileHash(m_newProgram)); // still there, and the new one
    QCOMPARE(termsIn(path("Sv")), QList<qint64>{running});               // asked to quit, not killed
    QCOMPARE(m_prompts, QStringList{QStringLiteral("程序更新成功,即将重新运行")});
    QVERIFY(waitForRuns(path("Sv"), 2));
    const Run restarted = runsIn(path("Sv")).at(1);
    QCOMPARE(restarted.marker, QStringLiteral("new"));
    QCOMPARE(restarted.arguments, QStringList());
    QCOMPARE(m_view->closes, 1);

    // The status lines in the order the user sees them, progress left out.
    QStringList status = m_view->lines.filter(QRegularExpression(QStringLiteral("^[12] ")));
    QCOMPARE(status,
             (QStringList{"1 正在下载，请稍候，如果长时间没反应", "2 请到" + host() + "下载安装",
                          "1 下载完成，正在关闭程序", "2 -", "1 正在启动更新后的程序", "2 -", "1 -"}));
    const QStringList progress = m_view->lines.filter(QRegularExpression(QStringLiteral("^p [^-]")));
    QVERIFY(!progress.isEmpty());
    QVERIFY2(progress.last().endsWith(QLatin1String("(100%)")), qPrintable(progress.last()));
}

void TestUpgradeProcedure::noArgument()
{
    const QString client = path("clikw730"); // beside the upgrader
    QVERIFY(installStandIn(Build::Old, client));
    const qint64 running = startStandIn(client);
    QVERIFY(running > 0);

    const UpgradeResult result = run(setupFor({}));

    QCOMPARE(result.paths.clientPath, client);
    QCOMPARE(stepsOf(result), QStringLiteral("downloaded stopped replaced restarted"));
    QVERIFY(waitUntilGone(running));
    QCOMPARE(markerOf(client), QStringLiteral("new"));
    QVERIFY(waitForRuns(m_dir->path(), 2));
    QCOMPARE(runsIn(m_dir->path()).at(1).marker, QStringLiteral("new"));
}

void TestUpgradeProcedure::pathWithBlanks()
{
    QVERIFY(QDir().mkpath(path("My Sv 终端")));
    const QString client = path("My Sv 终端/clikw730");
    QVERIFY(installStandIn(Build::Old, client));
    const qint64 running = startStandIn(client);
    QVERIFY(running > 0);

    const UpgradeResult result = run(setupFor({client}));

    QCOMPARE(stepsOf(result), QStringLiteral("downloaded stopped replaced restarted"));
    QCOMPARE(markerOf(client), QStringLiteral("new"));
    QVERIFY(QFile::exists(path("My Sv 终端/downfile.tmp")));
    QVERIFY(waitForRuns(path("My Sv 终端"), 2));
    QCOMPARE(runsIn(path("My Sv 终端")).at(1).marker, QStringLiteral("new"));
}

void TestUpgradeProcedure::caseDifferingNameStopsNothing()
{
    const QString running = path("clikw730");
    QVERIFY(installStandIn(Build::Old, running));
    const qint64 pid = startStandIn(running);
    QVERIFY(pid > 0);

    const UpgradeResult result = run(setupFor({path("Clikw730")}));

    QCOMPARE(stepsOf(result), QStringLiteral("downloaded replaced"));
    QVERIFY(isAlive(pid));
    QCOMPARE(markerOf(path("Clikw730")), QStringLiteral("new"));
    QCOMPARE(markerOf(running), QStringLiteral("old"));
    QCOMPARE(m_prompts, QStringList{QStringLiteral("程序更新成功,请重新运行系统")});
    QCOMPARE(runsIn(m_dir->path()).size(), 1); // nothing started
}

void TestUpgradeProcedure::twoProcessesOnlyLastStopped()
{
    const QString client = path("clikw730");
    QVERIFY(installStandIn(Build::Old, client));
    const qint64 first = startStandIn(client);
    const qint64 second = startStandIn(client);
    QVERIFY(first > 0 && second > 0);

    const UpgradeResult result = run(setupFor({client}));

    QCOMPARE(stepsOf(result), QStringLiteral("downloaded stopped replaced restarted"));
    QVERIFY(waitUntilGone(second));
    QVERIFY(isAlive(first));
    QCOMPARE(m_prompts, QStringList{QStringLiteral("程序更新成功,即将重新运行")});
    // The restarted client is on record before cleanup looks; otherwise it outlives the case and
    // the next one's stop by name finds it.
    QVERIFY(waitForRuns(m_dir->path(), 3));
    QCOMPARE(runsIn(m_dir->path()).at(2).marker, QStringLiteral("new"));
    // The survivor must not be found by the next case's stop by name either.
    ::kill(pid_t(first), SIGKILL);
    QVERIFY(waitUntilGone(first));
}

void TestUpgradeProcedure::missingFolderCreated()
{
    const QString client = path("new/deeper/clikw730");

    const UpgradeResult result = run(setupFor({client}));

    QCOMPARE(stepsOf(result), QStringLiteral("downloaded replaced"));
    QCOMPARE(markerOf(client), QStringLiteral("new"));
    QVERIFY(QFile::exists(path("new/deeper/downfile.tmp")));
    QCOMPARE(m_prompts, QStringList{QStringLiteral("程序更新成功,请重新运行系统")});
}

void TestUpgradeProcedure::followsRedirect()
{
    Redirector redirector(m_portal.baseUrl());
    QVERIFY(redirector.listen(QHostAddress::LocalHost));
    UpgradeSetup setup = setupFor({path("clikw730")});
    setup.downloadBase = QStringLiteral("http://127.0.0.1:%1").arg(redirector.serverPort());

    const UpgradeResult result = run(setup);

    QCOMPARE(stepsOf(result), QStringLiteral("downloaded replaced"));
    QCOMPARE(FileHash(path("clikw730")), FileHash(m_newProgram));
}

void TestUpgradeProcedure::failedDownload_data()
{
    QTest::addColumn<QString>("fault");     // of the program
    QTest::addColumn<QString>("signature"); // fault of the signature; empty: the portal signs
    QTest::addColumn<qint64>("maxBytes");
    // base: a pattern for the port of a closed one; host: what the prompt names there.
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("installed"); // the version the client's program names
    QTest::addColumn<QString>("announced"); // the version page, which the portal signs with
    QTest::addColumn<int>("stallMs");
    const qint64 any = BuiltInDownloadLimits().maxBytes;
    const auto row = [any](const char *name, const char *fault, const QString &signature = {},
                           qint64 maxBytes = -1) {
        QTest::newRow(name) << fault << signature << (maxBytes < 0 ? any : maxBytes) << QString() << QString()
                            << QString() << QString() << 10000;
    };
    row("server error", "status:500");
    row("not found, HTML page", "html404");
    row("HTML page with status 200", "html200");
    row("truncated body", "truncate");
    row("truncated body without Content-Length", "cut");
    row("empty body", "empty");
    row("connection reset", "reset");
    row("larger than allowed", "", {}, 1 << 20);
    row("unsigned", "", QStringLiteral("status:404"));
    row("signature not found, HTML page", "", QStringLiteral("html200"));
    row("signature: bytes of every value", "", QStringLiteral("garbage:300"));
    for (const char *kind :
         {"other key", "other file", "legacy", "changed comment", "one byte changed", "no version"})
        row(qPrintable(QStringLiteral("signature: ") + kind), "", servedAs(m_signatures.value(kind)));
    // A signed older build replayed on the way, and the release already installed.
    QTest::newRow("older release than the one installed")
        << "" << QString() << any << QString() << QString() << "3.0.07"
        << "3.0.06;3.0.01" << 10000;
    QTest::newRow("the release installed already")
        << "" << QString() << any << QString() << QString() << "3.0.06"
        << "3.0.06;3.0.01" << 10000;
    // One byte a quarter of the stall window, as one byte every 15 s against the real minute.
    QTest::newRow("trickle") << "trickle:500:100000000" << QString() << any << QString() << QString()
                             << QString() << QString() << 2000;
    const auto closedRow = [any](const char *name, const char *base, const char *host) {
        QTest::newRow(name) << ""
                            << "" << any << base << host << QString() << QString() << 10000;
    };
    closedRow("no server at all", "http://127.0.0.1:%1", "127.0.0.1:%1");
    closedRow("base of another scheme", "ftp://127.0.0.1:%1", "127.0.0.1:%1");
    closedRow("base without scheme", "127.0.0.1:%1", "127.0.0.1:%1");
    closedRow("local file as base", "file:///bin", "file:///bin");
}

void TestUpgradeProcedure::failedDownload()
{
    QFETCH(QString, fault);
    QFETCH(QString, signature);
    QFETCH(qint64, maxBytes);
    QFETCH(QString, base);
    QFETCH(QString, host);
    QFETCH(QString, installed);
    QFETCH(QString, announced);
    QFETCH(int, stallMs);
    const QString client = path("clikw730");
    QVERIFY(installStandIn(Build::Old, client, 0, installed));
    const QByteArray oldHash = FileHash(client);
    const qint64 running = startStandIn(client);
    QVERIFY(running > 0);
    if (!announced.isEmpty())
        QVERIFY(m_portal.setVersion(announced));
    UpgradeSetup setup = setupFor({client, QStringLiteral("000")});
    setup.limits.maxBytes = maxBytes;
    setup.limits.stallMs = stallMs;
    if (!base.isEmpty()) {
        QTcpServer closed; // a port that was free a moment ago
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString port = QString::number(closed.serverPort());
        setup.downloadBase = base.replace(QLatin1String("%1"), port);
        host.replace(QLatin1String("%1"), port);
    } else {
        QVERIFY(m_portal.setFault(QStringLiteral("/download/clikw730exe"), fault));
        QVERIFY(m_portal.setFault(QStringLiteral("/download/clikw730exe.minisig"), signature));
        host = this->host();
    }
    QElapsedTimer clock;
    clock.start();

    const UpgradeResult result = run(setup);

    QVERIFY2(clock.elapsed() < 2 * stallMs, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(stepsOf(result), QString());
    QCOMPARE(m_prompts, QStringList{"下载失败，请直接到" + host + "进行下载安装! "});
    QVERIFY(isAlive(running));
    QCOMPARE(FileHash(client), oldHash);
    QCOMPARE(runsIn(m_dir->path()).size(), 1);
    QCOMPARE(m_view->closes, 1);
    QCOMPARE(m_view->lines.last(), QStringLiteral("1 -"));
    // Nothing half-fetched stays behind, and no "downfile.tmp" that could be copied by hand.
    QCOMPARE(otherFiles(m_dir->path(), {"clikw730", "standin.log"}), QStringList());
}

// Two upgraders over one folder at once (nothing stops a second start): whichever copies last,
// the program left behind is the signed one, whole.
void TestUpgradeProcedure::concurrentUpgradersInstallOnlySigned()
{
    const QString served = QDir(m_served.path()).filePath(QStringLiteral("large"));
    QVERIFY(installStandIn(Build::New, served, 48 << 20)); // copies long enough to overlap
    PortalProcess portal;
    QVERIFY2(portal.start({QStringLiteral("--download"), served}), qPrintable(portal.errorString()));
    const QString client = path("clikw730");
    for (int round = 0; round < 3; ++round) {
        QVERIFY(installStandIn(Build::Old, client));
        QProcess first;
        QProcess second;
        first.start(QStringLiteral(UPGRADE_RUNNER), {client, portal.baseUrl()});
        second.start(QStringLiteral(UPGRADE_RUNNER), {client, portal.baseUrl()});
        QVERIFY(first.waitForFinished(60000) && second.waitForFinished(60000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(FileHash(client), FileHash(served));
        QCOMPARE(FileHash(path("downfile.tmp")), FileHash(served));
    }
    QCOMPARE(otherFiles(m_dir->path(), {"clikw730", "downfile.tmp"}), QStringList());
}

void TestUpgradeProcedure::httpsDownload_data()
{
    QTest::addColumn<bool>("trusted");
    QTest::newRow("authority trusted") << true;
    QTest::newRow("unknown authority") << false;
}

void TestUpgradeProcedure::httpsDownload()
{
    QFETCH(bool, trusted);
    TestCertificates certificates; // a new authority for each row
    QVERIFY2(certificates.create(), qPrintable(certificates.errorString()));
    if (trusted)
        certificates.trustInThisProcess();
    PortalProcess portal;
    QVERIFY2(portal.startTls(certificates, {QStringLiteral("--download"), m_newProgram}),
             qPrintable(portal.errorString()));
    QVERIFY(portal.baseUrl().startsWith(QLatin1String("https://")));
    const QString client = path("clikw730");
    QVERIFY(installStandIn(Build::Old, client));
    const QByteArray oldHash = FileHash(client);
    const qint64 running = startStandIn(client);
    QVERIFY(running > 0);
    UpgradeSetup setup = setupFor({client});
    setup.downloadBase = portal.baseUrl();

    const UpgradeResult result = run(setup);

    const QString host = QUrl(portal.baseUrl()).authority();
    QCOMPARE(m_view->lines.value(1), "2 请到" + host + "下载安装");
    const bool fetched =
        portal.requestLog().join(QLatin1Char('\n')).contains(QLatin1String("/download/clikw730exe"));
    if (trusted) {
        QCOMPARE(stepsOf(result), QStringLiteral("downloaded stopped replaced restarted"));
        QVERIFY(fetched);
        QCOMPARE(FileHash(client), FileHash(m_newProgram));
        QCOMPARE(m_prompts, QStringList{QStringLiteral("程序更新成功,即将重新运行")});
        QVERIFY(waitForRuns(m_dir->path(), 2));
        QCOMPARE(runsIn(m_dir->path()).at(1).marker, QStringLiteral("new"));
    } else {
        // Refused in the handshake: no request was ever made.
        QCOMPARE(stepsOf(result), QString());
        QVERIFY(!fetched);
        QCOMPARE(m_prompts, QStringList{"下载失败，请直接到" + host + "进行下载安装! "});
        QVERIFY(isAlive(running));
        QCOMPARE(FileHash(client), oldHash);
    }
}

void TestUpgradeProcedure::stalledDownloadGivesUp()
{
    QVERIFY(m_portal.setFault(QStringLiteral("/download/clikw730exe"), QStringLiteral("delay:20000")));
    UpgradeSetup setup = setupFor({path("clikw730")});
    setup.limits.stallMs = 700;
    QElapsedTimer clock;
    clock.start();

    const UpgradeResult result = run(setup);

    QCOMPARE(stepsOf(result), QString());
    QVERIFY2(clock.elapsed() < 10000, "the download did not give up when nothing came");
    QCOMPARE(m_prompts.size(), 1);
    QVERIFY(m_prompts.first().startsWith(QStringLiteral("下载失败")));
}

void TestUpgradeProcedure::copyFails()
{
    QVERIFY(QDir().mkpath(path("Sv")));
    QVERIFY(QDir().mkpath(path("log")));
    qputenv("STANDIN_LOG_DIR", QFile::encodeName(path("log"))); // the client's folder will refuse writes
    const QString client = path("Sv/clikw730");
    QVERIFY(installStandIn(Build::Old, client));
    const QByteArray oldHash = FileHash(client);
    const qint64 running = startStandIn(client);
    QVERIFY(running > 0);
    // The folder turns read-only once the download is in.
    bool readOnly = false;
    m_view->onFirstLine = [&](const QString &text) {
        if (text == QStringLiteral("下载完成，正在关闭程序"))
            readOnly = makeReadOnly(path("Sv"));
    };

    const UpgradeResult result = run(setupFor({client}));
    if (readOnly)
        makeWritable(path("Sv"));
    QVERIFY2(readOnly, "could not make the folder read-only");

    QCOMPARE(stepsOf(result), QStringLiteral("downloaded stopped restarted"));
    QCOMPARE(m_prompts, QStringList{QStringLiteral("更新失败,请拷贝文件downfile.tmp到clikw730")});
    QCOMPARE(FileHash(client), oldHash);
    QCOMPARE(FileHash(path("Sv/downfile.tmp")), FileHash(m_newProgram)); // ready for the manual copy
    QVERIFY(waitUntilGone(running));
    // The stopped client comes back, with the old program.
    QVERIFY(waitForRuns(path("log"), 2));
    QCOMPARE(runsIn(path("log")).at(1).marker, QStringLiteral("old"));
    QCOMPARE(m_view->closes, 1);
    QCOMPARE(m_view->lines.last(), QStringLiteral("1 -"));
}

UPGRADER_TEST_MAIN(TestUpgradeProcedure, QCoreApplication)
#include "tst_upgradeprocedure.moc"
