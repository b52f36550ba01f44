// The real upgrader program, end to end, under the virtual display: its window, its prompts
// answered by keyboard as a user would, and what it leaves on disk.
#include "PortalProcess.h"
#include "TestFiles.h"
#include "UpgraderTestSupport.h"
#include "WindowTitles.h"
#include "XWindows.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace UpgraderTest;

class TestZunup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void fullUpdateThroughTheShell();
    void failedDownload_data();
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
    QElapsedTimer clock;
    clock.start();
    QString box;
    while (box.isEmpty() && clock.elapsed() < timeoutMs) {
        box = xwindows::waitFor(titles::kPrompt, 500);
        // An upgrader that ended without one will show none.
        if (box.isEmpty() && (upgrader.state() == QProcess::NotRunning || upgrader.waitForFinished(0)))
            break;
    }
    if (box.isEmpty())
        return {};
    // The box may take a moment to take the focus: press until it is gone.
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (xwindows::sendKey(box, QStringLiteral("Return")) && xwindows::waitGone(titles::kPrompt, 2000))
            return box;
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
    QElapsedTimer clock;
    clock.start();
    upgrader.start(QStringLiteral("/bin/sh"),
                   {"-c", QStringLiteral("exec \"$0\" \"$1\" 000"), QString::fromUtf8(ZUNUP_BIN), client});
    QVERIFY(upgrader.waitForStarted());

    // The window: its caption, no maximise function or button.
    const QString window = xwindows::waitFor(titles::kUpgrader, 10000);
    QVERIFY2(!window.isEmpty(), "no upgrader window");
    const QString properties = xwindows::property(window, QStringLiteral("_MOTIF_WM_HINTS"));
    const QStringList motif = properties.section(QStringLiteral("_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = "), 1)
                                  .trimmed()
                                  .split(QStringLiteral(", "));
    QVERIFY2(motif.size() >= 3, qPrintable(properties));
    QCOMPARE(motif.at(1).toUInt(nullptr, 16) & 0x10, 0u); // MWM_FUNC_MAXIMIZE
    QCOMPARE(motif.at(2).toUInt(nullptr, 16) & 0x40, 0u); // MWM_DECOR_MAXIMIZE

    QVERIFY(!answerPrompt(upgrader, 60000).isEmpty());
    // Stopping, the fixed waits and the copy come before the prompt: at least 4 s after the start.
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
    QCOMPARE(FileHash(QDir(folder).filePath(QStringLiteral("downfile.tmp"))), FileHash(m_newProgram));
    QVERIFY(xwindows::visible(titles::kUpgrader).isEmpty());
    killAll(folder);
}

void TestZunup::failedDownload_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("promptWithinMs");
    QTest::newRow("not found") << "html404" << 30000;
    // Never still for the whole minute, yet getting nowhere: the prompt comes once the first
    // minute is over (a quarter of it late at most), not after hours.
    QTest::newRow("one byte every 15 s") << "trickle:15000:100000000" << 60000 + 15000 + 10000;
}

void TestZunup::failedDownload()
{
    QFETCH(QString, fault);
    QFETCH(int, promptWithinMs);
    QVERIFY(m_portal.setFault(QStringLiteral("/download/clikw730exe"), fault));
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
    QVERIFY(!answerPrompt(upgrader, promptWithinMs).isEmpty());

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
