#include "InstalledClient.h"

#include <QProcessEnvironment>

namespace InstalledClient {

namespace {

bool xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

} // namespace

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

bool type(const QString &text)
{
    return xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text});
}

bool key(const QString &name)
{
    return xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), name});
}

bool clickAt(int x, int y, int button)
{
    return xdotool({QStringLiteral("mousemove"), QString::number(x), QString::number(y)}) &&
           xdotool({QStringLiteral("click"), QString::number(button)});
}

} // namespace InstalledClient
