#include "StopProcess.h"

#include "UpgradeRules.h"
#include "platform/processes.h"

bool StopProcessByName(const QString &name)
{
    QVector<platform::ProcessEntry> processes;
    if (!platform::ListOwnProcesses(processes))
        return false;
    const qint64 pid = LastMatchingPid(processes, name);
    if (pid < 0)
        return false;
    // No waiting here: the fixed waits of the procedure give it time to go.
    return platform::TerminateProcess(pid);
}
