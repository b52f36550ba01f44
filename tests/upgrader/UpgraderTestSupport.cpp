#include "UpgraderTestSupport.h"

#include "ReleaseVersion.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace UpgraderTest {

void EnterOwnProcessNamespace(char **argv)
{
    if (qEnvironmentVariableIsSet("SORVANE_TEST_PIDNS") || ::geteuid() != 0)
        return;
    ::setenv("SORVANE_TEST_PIDNS", "1", 1);
    std::vector<char *> command = {const_cast<char *>("unshare"), const_cast<char *>("--pid"),
                                   const_cast<char *>("--mount-proc"), const_cast<char *>("--kill-child"),
                                   const_cast<char *>("--")};
    for (char **argument = argv; *argument; ++argument)
        command.push_back(*argument);
    command.push_back(nullptr);
    ::execvp("unshare", command.data());
    // No unshare here: go on without the isolation.
}

QString standInBinary(Build build)
{
    return QString::fromUtf8(build == Build::Old ? UPGRADER_STANDIN_OLD : UPGRADER_STANDIN_NEW);
}

bool installStandIn(Build build, const QString &path, qint64 padding, const QString &version)
{
    QFile source(standInBinary(build));
    QFile target(path);
    if (!source.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    if (target.write(source.readAll()) != source.size())
        return false;
    // The loader ignores bytes after the program; they only make the file slower to copy.
    const QByteArray block(1 << 20, char(0x5a));
    for (qint64 left = padding; left > 0; left -= block.size()) {
        if (target.write(block.left(int(qMin<qint64>(left, block.size())))) < 0)
            return false;
    }
    if (!version.isEmpty()) {
        const QByteArray marker = SORVANE_RELEASE_MARKER_PREFIX + version.toLatin1() + '\0';
        if (target.write(marker) != marker.size())
            return false;
    }
    target.close();
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                           QFile::ExeOther);
}

QList<Run> runsIn(const QString &folder)
{
    QList<Run> runs;
    QFile log(QDir(folder).filePath(QStringLiteral("standin.log")));
    if (!log.open(QIODevice::ReadOnly))
        return runs;
    static const QRegularExpression argumentPattern(QStringLiteral("\\[([^\\]]*)\\]"));
    for (const QByteArray &raw : log.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        const QStringList words = line.split(QLatin1Char(' '));
        if (words.size() < 2)
            continue;
        Run run{words.at(0), words.at(1).toLongLong(), {}};
        auto matches = argumentPattern.globalMatch(line);
        while (matches.hasNext())
            run.arguments << matches.next().captured(1);
        runs << run;
    }
    return runs;
}

QList<qint64> termsIn(const QString &folder)
{
    QList<qint64> pids;
    QFile log(QDir(folder).filePath(QStringLiteral("standin.signals")));
    if (!log.open(QIODevice::ReadOnly))
        return pids;
    for (const QByteArray &line : log.readAll().split('\n')) {
        if (line.startsWith("TERM "))
            pids << line.mid(5).toLongLong();
    }
    return pids;
}

bool waitForRuns(const QString &folder, int count, int timeoutMs)
{
    // Woken by the log's creation (the folder changes) and by every line added to it.
    const QString log = QDir(folder).filePath(QStringLiteral("standin.log"));
    QFileSystemWatcher watcher({folder});
    QEventLoop loop;
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, &loop, &QEventLoop::quit);
    QObject::connect(&watcher, &QFileSystemWatcher::fileChanged, &loop, &QEventLoop::quit);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        // Watched before it is read, so no line can slip in between unnoticed.
        if (watcher.files().isEmpty() && QFileInfo::exists(log))
            watcher.addPath(log);
        if (runsIn(folder).size() >= count)
            return true;
        if (deadline.hasExpired())
            return false;
        limit.start(int(qMax<qint64>(deadline.remainingTime(), 1)));
        loop.exec();
    }
}

qint64 startStandIn(const QString &path, const QStringList &arguments)
{
    const QString folder = qEnvironmentVariableIsSet("STANDIN_LOG_DIR")
                               ? qEnvironmentVariable("STANDIN_LOG_DIR")
                               : QFileInfo(path).absolutePath();
    const int before = runsIn(folder).size();
    qint64 pid = -1;
    if (!QProcess::startDetached(path, arguments, QString(), &pid))
        return -1;
    if (!waitForRuns(folder, before + 1))
        return -1;
    return pid;
}

bool isAlive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close > 0 && text.size() > close + 2 && text.at(close + 2) != 'Z' && text.at(close + 2) != 'X';
}

bool waitUntilGone(qint64 pid, int timeoutMs)
{
    // A process descriptor becomes readable when the process ends, child of ours or not.
    const int descriptor = int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
    if (descriptor < 0)
        return !isAlive(pid); // no such process any more
    pollfd ended{descriptor, POLLIN, 0};
    const QDeadlineTimer deadline(timeoutMs);
    int ready = 0;
    do
        ready = ::poll(&ended, 1, int(deadline.remainingTime()));
    while (ready < 0 && errno == EINTR);
    ::close(descriptor);
    return ready > 0 || !isAlive(pid);
}

void killAll(const QString &folder)
{
    const QList<Run> runs = runsIn(folder);
    for (const Run &run : runs) {
        if (isAlive(run.pid))
            ::kill(pid_t(run.pid), SIGKILL);
    }
    // Gone before the next case looks for running clients by name.
    for (const Run &run : runs)
        waitUntilGone(run.pid);
}

QString markerOf(const QString &path)
{
    QProcess program;
    program.start(path, {QStringLiteral("--marker")});
    if (!program.waitForFinished(5000)) {
        program.kill();
        program.waitForFinished();
        return {};
    }
    return QString::fromUtf8(program.readAllStandardOutput()).trimmed();
}

} // namespace UpgraderTest

namespace UpgraderTest {

bool makeReadOnly(const QString &folder)
{
    if (::geteuid() != 0)
        return QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    // Root ignores permissions; a mount outside our own namespace would reach the whole machine.
    if (!qEnvironmentVariableIsSet("SORVANE_TEST_PIDNS") || ::getpid() != 1)
        return false;
    return QProcess::execute(QStringLiteral("mount"), {"--bind", folder, folder}) == 0 &&
           QProcess::execute(QStringLiteral("mount"), {"-o", "remount,bind,ro", folder}) == 0;
}

void makeWritable(const QString &folder)
{
    if (::geteuid() != 0)
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    else
        QProcess::execute(QStringLiteral("umount"), {QStringLiteral("--lazy"), folder});
}

QStringList otherFiles(const QString &folder, const QStringList &known)
{
    QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : known)
        files.removeAll(name);
    return files;
}

} // namespace UpgraderTest
