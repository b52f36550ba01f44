#pragma once

#include <QString>
#include <QVector>

namespace platform {

struct ProcessEntry
{
    qint64 pid = 0;
    QString exeName; // bare file name of the executable, no folder
};

// The processes of the current (real) user, in the order the system lists them.
// False when the process list cannot be read at all.
bool ListOwnProcesses(QVector<ProcessEntry> &processes);

// Asks the process to quit, so it can close its files and windows in order (SIGTERM on POSIX).
// Does not wait for it to go. True when the request was delivered.
bool AskProcessToQuit(qint64 pid);

// Ends the process at once, without giving it a chance to clean up or refuse.
// Does not wait for it to go. True when the signal was delivered.
bool TerminateProcess(qint64 pid);

} // namespace platform
