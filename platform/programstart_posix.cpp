#include "platform/programstart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace platform {

bool StartProgram(const QString &program, const QStringList &arguments)
{
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, arguments);
}

QString FindProgram(const QString &name, const QStringList &folders)
{
    for (const QString &folder : folders) {
        if (folder.isEmpty())
            continue;
        const QFileInfo candidate(QDir(folder).filePath(name));
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.absoluteFilePath();
    }
    return QStandardPaths::findExecutable(name);
}

QString OwnProgramPath()
{
    return QCoreApplication::applicationFilePath();
}

} // namespace platform
