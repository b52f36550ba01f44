#include "StopProcess.h"

#include "UpgradeRules.h"
#include "platform/processes.h"

#include <QCoreApplication>

#include <algorithm>

bool StopProcessByName(const QString &name, qint64 *stoppedPid)
{
    QVector<platform::ProcessEntry> processes;
    if (!platform::ListOwnProcesses(processes))
        return false;
    // Never this upgrader itself, whatever the client's file is called.
    const qint64 self = QCoreApplication::applicationPid();
    processes.erase(std::remove_if(processes.begin(), processes.end(),
                                   [self](const platform::ProcessEntry &entry) { return entry.pid == self; }),
                    processes.end());
    const qint64 pid = LastMatchingPid(processes, name);
    // No waiting here: the fixed waits of the procedure give it time to go.
    if (pid < 0 || !platform::AskProcessToQuit(pid))
        return false;
    if (stoppedPid)
        *stoppedPid = pid;
    return true;
}

void KillIfStillRunning(qint64 pid, const QString &name)
{
    QVector<platform::ProcessEntry> processes;
    if (!platform::ListOwnProcesses(processes))
        return;
    const bool stillThere =
        std::any_of(processes.begin(), processes.end(), [&](const platform::ProcessEntry &entry) {
            return entry.pid == pid && entry.exeName == name;
        });
    if (stillThere)
        platform::TerminateProcess(pid);
}
