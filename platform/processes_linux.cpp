#include "platform/processes.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <climits>
#include <dirent.h>
#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

namespace platform {

namespace {

bool allDigits(const char *text)
{
    if (!*text)
        return false;
    for (; *text; ++text) {
        if (*text < '0' || *text > '9')
            return false;
    }
    return true;
}

QByteArray readProcFile(const QByteArray &path)
{
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    return file.readAll();
}

// Real uid from the "Uid:" line of /proc/PID/status; -1 when unknown (the process went away).
long long realUidOf(const QByteArray &procDir)
{
    const QByteArray status = readProcFile(procDir + "/status");
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith("Uid:")) {
            const QList<QByteArray> fields = line.mid(4).simplified().split(' ');
            bool ok = false;
            const long long uid = fields.value(0).toLongLong(&ok);
            return ok ? uid : -1;
        }
    }
    return -1;
}

QByteArray baseName(const QByteArray &path)
{
    const int slash = path.lastIndexOf('/');
    return slash < 0 ? path : path.mid(slash + 1);
}

QString exeNameOf(const QByteArray &procDir)
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink((procDir + "/exe").constData(), target, sizeof target);
    if (length > 0) {
        QByteArray path(target, int(length));
        // A program file replaced by rename while running reads as ".../name (deleted)".
        static const QByteArray deleted(" (deleted)");
        if (path.endsWith(deleted) && !QFileInfo::exists(QFile::decodeName(path)))
            path.chop(deleted.size());
        return QFile::decodeName(baseName(path));
    }
    // No access to the link (or none there): take the program name the process was started with.
    const QByteArray cmdline = readProcFile(procDir + "/cmdline");
    const int end = cmdline.indexOf('\0');
    return QFile::decodeName(baseName(end < 0 ? cmdline : cmdline.left(end)));
}

} // namespace

bool ListOwnProcesses(QVector<ProcessEntry> &processes)
{
    processes.clear();
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return false;
    const long long ownUid = ::getuid();
    while (const dirent *entry = ::readdir(proc)) {
        if (!allDigits(entry->d_name))
            continue;
        const QByteArray procDir = QByteArray("/proc/") + entry->d_name;
        if (realUidOf(procDir) != ownUid)
            continue;
        const QString name = exeNameOf(procDir);
        if (name.isEmpty())
            continue; // kernel threads, zombies, processes that have just ended
        processes.append({QByteArray(entry->d_name).toLongLong(), name});
    }
    ::closedir(proc);
    return true;
}

bool AskProcessToQuit(qint64 pid)
{
    if (pid <= 0)
        return false;
    return ::kill(pid_t(pid), SIGTERM) == 0;
}

bool TerminateProcess(qint64 pid)
{
    if (pid <= 0)
        return false;
    return ::kill(pid_t(pid), SIGKILL) == 0;
}

} // namespace platform
