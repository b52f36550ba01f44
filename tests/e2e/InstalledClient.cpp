#include "InstalledClient.h"

#include "XWindows.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcessEnvironment>

namespace InstalledClient {

bool installInto(const QString &prefix, QString *log)
{
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(
        QStringLiteral(SORVANE_CMAKE),
        {QStringLiteral("--install"), QStringLiteral(SORVANE_BUILD_DIR), QStringLiteral("--prefix"), prefix});
    const bool finished = install.waitForFinished(120000);
    *log = QString::fromUtf8(install.readAll());
    return finished && install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0;
}

QStringList expectedFiles()
{
    return {QStringLiteral("bin/clikw730"),
            QStringLiteral("bin/zunup"),
            QStringLiteral("bin/sorvane"),
            QStringLiteral("share/applications/sorvane.desktop"),
            QStringLiteral("share/icons/hicolor/64x64/apps/sorvane.png"),
            QStringLiteral("share/icons/hicolor/16x16/apps/sorvane.png"),
            QStringLiteral("share/icons/hicolor/256x256/apps/sorvane.png"),
            QStringLiteral("share/icons/hicolor/scalable/apps/sorvane.svg"),
            QStringLiteral("share/metainfo/invalid.sorvane.terminal.metainfo.xml")};
}

void start(QProcess &process, const QString &prefix, const QString &dataHome, const QString &downloadBase)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    environment.insert(QStringLiteral("SORVANE_DOWNLOAD_BASE"), downloadBase);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(prefix + QStringLiteral("/bin/sorvane"), {});
}

bool loginWithEnter(const QString &loginWindow)
{
    return xwindows::activate(loginWindow) && xwindows::pressKey(QStringLiteral("Tab")) &&
           xwindows::pressKey(QStringLiteral("Return"));
}

bool copyWebFiles(const QString &target, const QMap<QString, QString> &replaced)
{
    const QDir source(QStringLiteral(SORVANE_SOURCE_DIR "/portal/www"));
    QDirIterator files(source.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString from = files.next();
        const QString relative = source.relativeFilePath(from);
        const QString to = target + QLatin1Char('/') + relative;
        const QString page = replaced.contains(relative) ? source.filePath(replaced.value(relative)) : from;
        if (!QDir().mkpath(QFileInfo(to).absolutePath()) || !QFile::copy(page, to))
            return false;
    }
    return true;
}

} // namespace InstalledClient
