#pragma once

#include <QString>

// Asks the current user's process whose executable file name equals name (the last one listed
// when several do) to quit. True only when one was found and the request was delivered; its
// process id then goes to pid.
bool StopProcessByName(const QString &name, qint64 *pid = nullptr);

// Ends that process for good when it is still running under that name (it ignored the request
// or hangs); one that has gone, or whose id now names another program, is left alone.
void KillIfStillRunning(qint64 pid, const QString &name);
