#pragma once

#include <QString>
#include <QStringList>

// Handing over to the upgrader "zunup": it gets the client's program path and the user role as
// two separate arguments, so a folder with blanks in its name arrives whole.

QStringList UpgraderArguments(const QString &clientProgramPath, const QString &userRole);

// Where "zunup" is looked for before the search path: the client's own folder, then the current
// directory.
QStringList UpgraderFolders(const QString &clientProgramPath, const QString &currentDir);

// Starts the upgrader beside the running client; whether it started is not reported to the user.
bool StartUpgrader(const QString &userRole = QStringLiteral("000"));
