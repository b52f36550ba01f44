#include "ProgramReplace.h"
#include "StopProcess.h"
#include "UpgraderTestSupport.h"
#include "platform/processes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace UpgraderTest;

namespace {

QList<qint64> pidsNamed(const QString &name)
{
    QVector<platform::ProcessEntry> processes;
    if (!platform::ListOwnProcesses(processes))
        return {};
    QList<qint64> pids;
    for (const platform::ProcessEntry &entry : processes) {
        if (entry.exeName == name)
            pids << entry.pid;
    }
    return pids;
}

} // namespace

class TestUpgraderProcesses : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void listsOwnProcessesByProgramName();
    void programReplacedWhileRunning();
    void stop_data();
    void stop();
    void askedToQuitBeforeKilled_data();
    void askedToQuitBeforeKilled();
    void otherUsersAreLeftAlone();
    void neverStopsItself();

private:
    QTemporaryDir *m_dir = nullptr;
    QString folder();
};

QString TestUpgraderProcesses::folder()
{
    if (!m_dir)
        m_dir = new QTemporaryDir;
    return m_dir->path();
}

void TestUpgraderProcesses::cleanup()
{
    if (m_dir)
        killAll(m_dir->path());
    delete m_dir;
    m_dir = nullptr;
}

void TestUpgraderProcesses::listsOwnProcessesByProgramName()
{
    const QString path = QDir(folder()).filePath(QStringLiteral("clikw730"));
    QVERIFY(installStandIn(Build::Old, path));
    const qint64 pid = startStandIn(path, {QStringLiteral("x")});
    QVERIFY(pid > 0);

    QVector<platform::ProcessEntry> processes;
    QVERIFY(platform::ListOwnProcesses(processes));
    QVERIFY(pidsNamed(QStringLiteral("clikw730")).contains(pid));
    // This test itself is listed under its program file's name, not under a path.
    QVERIFY(pidsNamed(QFileInfo(QCoreApplication::applicationFilePath()).fileName())
                .contains(QCoreApplication::applicationPid()));
    for (const platform::ProcessEntry &entry : processes)
        QVERIFY2(!entry.exeName.contains(QLatin1Char('/')), qPrintable(entry.exeName));
}

// A running client whose file was renamed over still counts under its name.
void TestUpgraderProcesses::programReplacedWhileRunning()
{
    const QString path = QDir(folder()).filePath(QStringLiteral("clikw730"));
    const QString update = QDir(folder()).filePath(QStringLiteral("downfile.tmp"));
    QVERIFY(installStandIn(Build::Old, path));
    QVERIFY(installStandIn(Build::New, update));
    const qint64 pid = startStandIn(path);
    QVERIFY(pid > 0);
    QVERIFY(ReplaceProgram(update, path));
    QVERIFY(
        QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid)).endsWith(QLatin1String(" (deleted)")));

    QCOMPARE(pidsNamed(QStringLiteral("clikw730")), QList<qint64>{pid});
    QVERIFY(StopProcessByName(QStringLiteral("clikw730")));
    QVERIFY(waitUntilGone(pid));
}

void TestUpgraderProcesses::stop_data()
{
    QTest::addColumn<QStringList>("running"); // program names, started in this order
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("stoppedIndex"); // -1: none
    QTest::newRow("the one running") << QStringList{"clikw730"} << "clikw730" << 0;
    QTest::newRow("of two, only the one listed last")
        << QStringList{"clikw730", "clikw730"} << "clikw730" << 1;
    QTest::newRow("letter case differs: none") << QStringList{"clikw730"} << "Clikw730" << -1;
    QTest::newRow("longer name: none") << QStringList{"clikw730x"} << "clikw730" << -1;
    QTest::newRow("none running") << QStringList{} << "clikw730" << -1;
}

void TestUpgraderProcesses::stop()
{
    QFETCH(QStringList, running);
    QFETCH(QString, name);
    QFETCH(int, stoppedIndex);
    QList<qint64> pids;
    for (int i = 0; i < running.size(); ++i) {
        // Each in a folder of its own, as two installs of the client would be.
        const QString subfolder = QDir(folder()).filePath(QString::number(i));
        QVERIFY(QDir().mkpath(subfolder));
        const QString path = QDir(subfolder).filePath(running.at(i));
        QVERIFY(installStandIn(Build::Old, path));
        pids << startStandIn(path);
        QVERIFY(pids.last() > 0);
    }

    QCOMPARE(StopProcessByName(name), stoppedIndex >= 0);

    for (int i = 0; i < pids.size(); ++i) {
        if (i == stoppedIndex)
            QVERIFY2(waitUntilGone(pids.at(i)), "the matched process kept running");
        else
            QVERIFY2(isAlive(pids.at(i)), "a process that should stay was stopped");
    }
    for (int i = 0; i < running.size(); ++i)
        killAll(QDir(folder()).filePath(QString::number(i)));
}

void TestUpgraderProcesses::askedToQuitBeforeKilled_data()
{
    QTest::addColumn<bool>("ignoresRequest");
    QTest::newRow("quits when asked") << false;
    QTest::newRow("ignores the request, killed after the wait") << true;
}

void TestUpgraderProcesses::askedToQuitBeforeKilled()
{
    QFETCH(bool, ignoresRequest);
    const QString path = QDir(folder()).filePath(QStringLiteral("clikw730"));
    QVERIFY(installStandIn(Build::Old, path));
    if (ignoresRequest)
        qputenv("STANDIN_IGNORE_TERM", "1");
    const qint64 pid = startStandIn(path);
    qunsetenv("STANDIN_IGNORE_TERM");
    QVERIFY(pid > 0);

    qint64 stopped = -1;
    QVERIFY(StopProcessByName(QStringLiteral("clikw730"), &stopped));
    QCOMPARE(stopped, pid);
    QTRY_COMPARE(termsIn(folder()), QList<qint64>{pid});
    if (ignoresRequest) {
        // The request has been handled and the process carries on.
        QVERIFY(isAlive(pid));
        KillIfStillRunning(pid, QStringLiteral("clikw730"));
    }
    QVERIFY(waitUntilGone(pid));
}

void TestUpgraderProcesses::otherUsersAreLeftAlone()
{
    if (::geteuid() != 0)
        QSKIP("needs root to run a process as another user");
    QVERIFY(QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                QFile::ReadOther | QFile::ExeOther));
    const QString path = QDir(folder()).filePath(QStringLiteral("clikw730"));
    QVERIFY(installStandIn(Build::Old, path));
    QFile log(QDir(folder()).filePath(QStringLiteral("standin.log")));
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.close();
    QVERIFY(log.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther));

    qint64 pid = -1;
    QVERIFY(QProcess::startDetached(QStringLiteral("setpriv"),
                                    {"--reuid=65534", "--regid=65534", "--clear-groups", path}, QString(),
                                    &pid));
    QVERIFY(waitForRuns(folder(), 1));
    const qint64 otherPid = runsIn(folder()).first().pid;

    QVERIFY(!pidsNamed(QStringLiteral("clikw730")).contains(otherPid));
    QVERIFY(!StopProcessByName(QStringLiteral("clikw730")));
    QVERIFY(isAlive(otherPid));
}

// A client file named like the upgrader's own program must not end the upgrade half-way.
void TestUpgraderProcesses::neverStopsItself()
{
    const QString ownName = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    QVERIFY(pidsNamed(ownName).contains(QCoreApplication::applicationPid()));
    QVERIFY(!StopProcessByName(ownName) || pidsNamed(ownName).size() > 1);
    QVERIFY(isAlive(QCoreApplication::applicationPid()));
}

UPGRADER_TEST_MAIN(TestUpgraderProcesses, QCoreApplication)
#include "tst_upgraderprocesses.moc"
