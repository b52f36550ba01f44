#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Starts a program detached from this process, in a normal window. True when it started.
bool StartProgram(const QString &program, const QStringList &arguments);

// Looks a bare program name up in the given folders first, then on the search path.
// Empty when it is found nowhere.
QString FindProgram(const QString &name, const QStringList &folders);

// The full path of this process's own program file.
QString OwnProgramPath();

} // namespace platform
