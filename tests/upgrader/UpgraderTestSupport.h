#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Shared pieces of the upgrader's tests: the stand-in client programs and their records.
namespace UpgraderTest {

// Re-runs this test in its own process-id namespace with its own /proc (when run as root),
// so stopping "clikw730" by name can only ever reach this test's own stand-ins, and every
// stand-in ends with the test. Returns only when isolation is not possible.
void EnterOwnProcessNamespace(char **argv);

enum class Build { Old, New };
QString standInBinary(Build build);

// Copies a stand-in build to path as an executable; optional padding bytes make it bigger, and a
// version puts the client's release marker after the program, as a release build carries it.
bool installStandIn(Build build, const QString &path, qint64 padding = 0, const QString &version = {});

// What a stand-in recorded: "old 1234 [a] [b]".
struct Run
{
    QString marker;
    qint64 pid = 0;
    QStringList arguments;
};
QList<Run> runsIn(const QString &folder);
// The pids whose stand-in recorded a request to quit, in order.
QList<qint64> termsIn(const QString &folder);

// Starts a program detached (as the client runs beside the upgrader) and waits until its
// record shows up; returns its pid or -1.
qint64 startStandIn(const QString &path, const QStringList &arguments = {});
bool waitForRuns(const QString &folder, int count, int timeoutMs = 5000);

// True while the process exists and is not a zombie.
bool isAlive(qint64 pid);
bool waitUntilGone(qint64 pid, int timeoutMs = 5000);
// Kills every stand-in that recorded a run in folder and waits until they are gone.
void killAll(const QString &folder);

// The marker the program at path prints, or empty when it does not start or says nothing.
QString markerOf(const QString &path);

} // namespace UpgraderTest

namespace UpgraderTest {

// Makes a folder refuse new files, also for root (a read-only bind mount, only inside this
// test's own namespace). False when that is not possible here.
bool makeReadOnly(const QString &folder);
void makeWritable(const QString &folder);

// The files in folder apart from the given names.
QStringList otherFiles(const QString &folder, const QStringList &known);

} // namespace UpgraderTest

// A test's main: isolate first, then run the test object with an application of the type given.
#define UPGRADER_TEST_MAIN(TestObject, Application)                                                          \
    int main(int argc, char *argv[])                                                                         \
    {                                                                                                        \
        UpgraderTest::EnterOwnProcessNamespace(argv);                                                        \
        Application app(argc, argv);                                                                         \
        TestObject test;                                                                                     \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
