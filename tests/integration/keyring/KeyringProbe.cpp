#include "KeyringProbe.h"

#include "LoginSettings.h"

#include <QProcess>

#include <csignal>

namespace {

bool SignalDaemon(int signal)
{
    bool ok = false;
    const qint64 pid = qEnvironmentVariable("SORVANE_KEYRING_DAEMON_PID").toLongLong(&ok);
    return ok && pid > 0 && ::kill(static_cast<pid_t>(pid), signal) == 0;
}

} // namespace

bool KeyringExpected()
{
    return qEnvironmentVariable("SORVANE_EXPECT_KEYRING") == QLatin1String("1");
}

QString KeyringPassword(const QString &key)
{
    // The desktop's own tool, not the client's code, says what the keyring holds.
    QProcess tool;
    tool.start(QStringLiteral("secret-tool"), {QStringLiteral("lookup"), QStringLiteral("server"),
                                               KeyringService(), QStringLiteral("user"), key});
    if (!tool.waitForFinished(10000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return QString();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

bool PauseKeyringDaemon()
{
    return SignalDaemon(SIGSTOP);
}

bool ResumeKeyringDaemon()
{
    return SignalDaemon(SIGCONT);
}
