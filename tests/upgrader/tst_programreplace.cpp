#include "ProgramReplace.h"
#include "TestFiles.h"
#include "UpgraderTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

using namespace UpgraderTest;

namespace {

QFileDevice::Permissions permissionsOf(int mode)
{
    return QFileDevice::Permissions(((mode >> 6 & 7) << 12) | ((mode >> 3 & 7) << 4) | (mode & 7));
}

// Rounds of the kill loop: a few by default, as many as SORVANE_STRESS_ROUNDS asks for under load.
int stressRounds()
{
    bool ok = false;
    const int rounds = qEnvironmentVariableIntValue("SORVANE_STRESS_ROUNDS", &ok);
    return ok && rounds > 0 ? rounds : 5;
}

int modeOf(QFileDevice::Permissions permissions)
{
    const int bits = int(permissions);
    return ((bits >> 12 & 7) << 6) | ((bits >> 4 & 7) << 3) | (bits & 7);
}

} // namespace

class TestProgramReplace : public QObject
{
    Q_OBJECT
private slots:
    void replaces_data();
    void replaces();
    void failureLeavesOldWhole_data();
    void failureLeavesOldWhole();
    void killedAtRandomMoments();
};

void TestProgramReplace::replaces_data()
{
    QTest::addColumn<bool>("oldExists");
    QTest::addColumn<int>("oldMode");
    QTest::addColumn<int>("expectedMode");
    QTest::newRow("keeps the program's permissions") << true << 0750 << 0750;
    QTest::newRow("keeps unusual permissions too") << true << 0700 << 0700;
    QTest::newRow("no program yet: executable for all") << false << 0 << 0755;
}

void TestProgramReplace::replaces()
{
    QFETCH(bool, oldExists);
    QFETCH(int, oldMode);
    QFETCH(int, expectedMode);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("downfile.tmp"));
    const QString target = dir.filePath(QStringLiteral("clikw730"));
    QVERIFY(installStandIn(Build::New, source, 3 << 20));
    QVERIFY(QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner)); // as a download is
    if (oldExists) {
        QVERIFY(installStandIn(Build::Old, target));
        QVERIFY(QFile::setPermissions(target, permissionsOf(oldMode)));
    }
    const QByteArray sourceHash = FileHash(source);

    QVERIFY(ReplaceProgram(source, target));

    QCOMPARE(FileHash(target), sourceHash);
    QCOMPARE(FileHash(source), sourceHash); // the download stays
    QCOMPARE(QString::number(modeOf(QFileInfo(target).permissions()), 8), QString::number(expectedMode, 8));
    QCOMPARE(markerOf(target), QStringLiteral("new"));
    QCOMPARE(otherFiles(dir.path(), {"downfile.tmp", "clikw730"}), QStringList());
}

void TestProgramReplace::failureLeavesOldWhole_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("folder refuses new files") << "read-only";
    QTest::newRow("download missing") << "no-source";
    QTest::newRow("program path is a folder") << "folder";
}

void TestProgramReplace::failureLeavesOldWhole()
{
    QFETCH(QString, failure);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("downfile.tmp"));
    const QString target = dir.filePath(QStringLiteral("clikw730"));
    if (failure != QLatin1String("no-source"))
        QVERIFY(installStandIn(Build::New, source));
    if (failure == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(target));
    else
        QVERIFY(installStandIn(Build::Old, target));
    const QByteArray oldHash = FileHash(target);
    if (failure == QLatin1String("read-only"))
        QVERIFY2(makeReadOnly(dir.path()), "could not make the folder read-only");

    const bool replaced = ReplaceProgram(source, target);
    if (failure == QLatin1String("read-only"))
        makeWritable(dir.path());

    QVERIFY(!replaced);
    if (failure == QLatin1String("folder")) {
        QVERIFY(QFileInfo(target).isDir());
    } else {
        QCOMPARE(FileHash(target), oldHash);
        QCOMPARE(markerOf(target), QStringLiteral("old"));
    }
    QCOMPARE(otherFiles(dir.path(), {"downfile.tmp", "clikw730"}), QStringList());
}

// A replacement killed at any moment leaves the whole old or the whole new program, one that starts.
void TestProgramReplace::killedAtRandomMoments()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("clikw730"));
    const QString versionA = dir.filePath(QStringLiteral("a.bin"));
    const QString versionB = dir.filePath(QStringLiteral("b.bin"));
    // Sizes that take a while to copy, so many kills land in the middle of it.
    QVERIFY(installStandIn(Build::Old, versionA, 32 << 20));
    QVERIFY(installStandIn(Build::New, versionB, 48 << 20));
    QVERIFY(QFile::copy(versionA, target));
    const QByteArray hashA = FileHash(versionA);
    const QByteArray hashB = FileHash(versionB);
    const QString helper = QString::fromUtf8(UPGRADER_REPLACE_HELPER);

    // How long the helper takes to get going, and one uninterrupted replacement; the kills
    // are spread over the time in between.
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(QProcess::execute(helper, {}), 2);
    const qint64 startMs = clock.restart();
    QCOMPARE(QProcess::execute(helper, {versionB, target}), 0);
    const qint64 fullMs = qMax(clock.elapsed(), startMs + 5);
    QCOMPARE(FileHash(target), hashB);

    int interrupted = 0;
    int kept = 0;
    int leftOvers = 0;
    QByteArray current = hashB;
    QElapsedTimer total;
    total.start();
    const int rounds = stressRounds();
    int round = 0;
    for (; round < rounds && total.elapsed() < 90000; ++round) {
        const bool towardsA = current == hashB;
        QProcess replacement;
        replacement.start(helper, {towardsA ? versionA : versionB, target});
        QVERIFY(replacement.waitForStarted());
        // A deliberate random moment in the replacement: the kill must be able to land anywhere.
        QThread::msleep(startMs * 4 / 5 +
                        QRandomGenerator::global()->bounded(quint32(fullMs - startMs * 4 / 5 + 1)));
        if (replacement.state() == QProcess::Running) {
            ++interrupted;
            ::kill(pid_t(replacement.processId()), SIGKILL);
        }
        QVERIFY(replacement.waitForFinished(10000));

        const QByteArray now = FileHash(target);
        QVERIFY2(now == hashA || now == hashB,
                 qPrintable(QStringLiteral("round %1: program torn").arg(round)));
        QCOMPARE(markerOf(target), now == hashA ? QStringLiteral("old") : QStringLiteral("new"));
        if (now == current)
            ++kept;
        current = now;
        const QStringList stray = otherFiles(dir.path(), {"clikw730", "a.bin", "b.bin"});
        if (!stray.isEmpty()) {
            ++leftOvers; // a kill between naming the finished copy and the rename
            for (const QString &name : stray)
                QFile::remove(dir.filePath(name));
        }
    }
    qInfo("start %lld ms, replacement %lld ms; %d of %d rounds killed while running, %d kept the program "
          "before, %d left a temporary copy",
          startMs, fullMs, interrupted, round, kept, leftOvers);
    QVERIFY2(interrupted >= qMax(1, round / 5), "too few replacements were killed to tell anything");
}

UPGRADER_TEST_MAIN(TestProgramReplace, QCoreApplication)
#include "tst_programreplace.moc"
