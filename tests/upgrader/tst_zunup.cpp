// The real upgrader program, end to end, under the virtual display: its window, its prompts
// answered by keyboard as a user would, and what it leaves on disk.
#include "PortalProcess.h"
#include "UpgraderTestSupport.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace UpgraderTest;

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(5000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// Ids of the mapped windows whose title is exactly title.
QStringList windowsTitled(const QString &title)
{
    const QString ids = run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--name",
                                                        QLatin1Char('^') + title + QLatin1Char('$')});
    return ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QByteArray hashOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
}

} // namespace

class TestZunup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void fullUpdateThroughTheShell();
    void failedDownload();

private:
    // Waits for the prompt, checks it is the only one, and presses Return in it. Returns its
    // window id, or empty when none came before the upgrader ended or the time ran out.
    QString answerPrompt(QProcess &upgrader, int timeoutMs);

    QTemporaryDir m_served;
    QString m_newProgram;
    PortalProcess m_portal;
};

void TestZunup::initTestCase()
{
    m_newProgram = QDir(m_served.path()).filePath(QStringLiteral("clikw730-new"));
    QVERIFY(installStandIn(Build::New, m_newProgram));
    QVERIFY2(m_portal.start({QStringLiteral("--download"), m_newProgram}),
             qPrintable(m_portal.errorString()));
}

QString TestZunup::answerPrompt(QProcess &upgrader, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired() && upgrader.state() == QProcess::Running) {
        const QStringList boxes = windowsTitled(QStringLiteral("提示信息"));
        if (!boxes.isEmpty()) {
            // The box may take a moment to take the focus: press until it is gone.
            for (int attempt = 0; attempt < 20 && windowsTitled(QStringLiteral("提示信息")) == boxes;
                 ++attempt) {
                run(QStringLiteral("xdotool"), {"windowactivate", "--sync", boxes.first(), "key", "Return"});
                QThread::msleep(200);
            }
            return boxes.first();
        }
        upgrader.waitForFinished(100);
    }
    return {};
}

void TestZunup::fullUpdateThroughTheShell()
{
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath(QStringLiteral("Sorvane 终端"));
    QVERIFY(QDir().mkpath(folder));
    const QString client = QDir(folder).filePath(QStringLiteral("clikw730"));
    QVERIFY(installStandIn(Build::Old, client));
    const qint64 running = startStandIn(client, {QStringLiteral("000")});
    QVERIFY(running > 0);

    // Quoted on a shell command line, the path with blanks arrives as one argument.
    QProcess upgrader;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SORVANE_DOWNLOAD_BASE"), m_portal.baseUrl());
    upgrader.setProcessEnvironment(environment);
    upgrader.start(QStringLiteral("/bin/sh"),
                   {"-c", QStringLiteral("exec \"$0\" \"$1\" 000"), QString::fromUtf8(ZUNUP_BIN), client});
    QVERIFY(upgrader.waitForStarted());

    // The window: its caption, no maximise function or button, the program's title as its class.
    QStringList windows;
    QTRY_VERIFY_WITH_TIMEOUT(!(windows = windowsTitled(QStringLiteral("系统升级"))).isEmpty(), 10000);
    const QString properties =
        run(QStringLiteral("xprop"), {"-id", windows.first(), "WM_CLASS", "_MOTIF_WM_HINTS"});
    const QStringList motif = properties.section(QStringLiteral("_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = "), 1)
                                  .split(QStringLiteral(", "));
    QVERIFY2(motif.size() >= 3, qPrintable(properties));
    QCOMPARE(motif.at(1).toUInt(nullptr, 16) & 0x10, 0u); // MWM_FUNC_MAXIMIZE
    QCOMPARE(motif.at(2).toUInt(nullptr, 16) & 0x40, 0u); // MWM_DECOR_MAXIMIZE

    QElapsedTimer clock;
    clock.start();
    QVERIFY(!answerPrompt(upgrader, 60000).isEmpty());
    // Stopping, the fixed waits and the copy come before the prompt.
    QVERIFY2(clock.elapsed() >= 3900, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(waitUntilGone(running));
    QCOMPARE(markerOf(client), QStringLiteral("new"));

    QVERIFY(upgrader.waitForFinished(10000));
    QCOMPARE(upgrader.exitStatus(), QProcess::NormalExit);
    QCOMPARE(upgrader.exitCode(), 0);
    QVERIFY(waitForRuns(folder, 2));
    const Run restarted = runsIn(folder).at(1);
    QCOMPARE(restarted.marker, QStringLiteral("new"));
    QCOMPARE(restarted.arguments, QStringList());
    QCOMPARE(hashOf(QDir(folder).filePath(QStringLiteral("downfile.tmp"))), hashOf(m_newProgram));
    QVERIFY(windowsTitled(QStringLiteral("系统升级")).isEmpty());
    killAll(folder);
}

void TestZunup::failedDownload()
{
    QVERIFY(m_portal.setFault(QStringLiteral("/download/clikw730exe"), QStringLiteral("html404")));
    QTemporaryDir dir;
    const QString client = QDir(dir.path()).filePath(QStringLiteral("clikw730"));
    QVERIFY(installStandIn(Build::Old, client));
    const qint64 running = startStandIn(client);
    QVERIFY(running > 0);

    QProcess upgrader;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SORVANE_DOWNLOAD_BASE"), m_portal.baseUrl());
    upgrader.setProcessEnvironment(environment);
    upgrader.start(QString::fromUtf8(ZUNUP_BIN), {client, QStringLiteral("000")});
    QVERIFY(upgrader.waitForStarted());
    QVERIFY(!answerPrompt(upgrader, 30000).isEmpty());

    QVERIFY(upgrader.waitForFinished(10000));
    QCOMPARE(upgrader.exitCode(), 0);
    QVERIFY(isAlive(running));
    QCOMPARE(markerOf(client), QStringLiteral("old"));
    QCOMPARE(runsIn(dir.path()).size(), 1);
    killAll(dir.path());
    QVERIFY(m_portal.setFault(QStringLiteral("/download/clikw730exe"), QString()));
}

UPGRADER_TEST_MAIN(TestZunup, QCoreApplication)
#include "tst_zunup.moc"
