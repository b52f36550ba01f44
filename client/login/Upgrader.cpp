#include "Upgrader.h"

#include "platform/programstart.h"

#include <QDir>
#include <QFileInfo>

QStringList UpgraderArguments(const QString &clientProgramPath, const QString &userRole)
{
    return {clientProgramPath, userRole};
}

QStringList UpgraderFolders(const QString &clientProgramPath, const QString &currentDir)
{
    return {QFileInfo(clientProgramPath).absolutePath(), currentDir};
}

bool StartUpgrader(const QString &userRole)
{
    const QString client = platform::OwnProgramPath();
    const QString upgrader =
        platform::FindProgram(QStringLiteral("zunup"), UpgraderFolders(client, QDir::currentPath()));
    return platform::StartProgram(upgrader, UpgraderArguments(client, userRole));
}
