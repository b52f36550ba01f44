#include "platform/singleinstance.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

namespace {

QString lockFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists())
        return QString::fromLocal8Bit(runtime);
    // Without a session folder, one per user in the temporary folder.
    const QString folder = QDir::tempPath() + QStringLiteral("/sorvane-%1").arg(getuid());
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder;
}

} // namespace

SingleInstanceLock::SingleInstanceLock(const QString &name)
    : m_path(lockFolder() + QLatin1Char('/') + name + QStringLiteral(".lock"))
{
    // CLOEXEC: programs this process starts (the upgrader) must not inherit the lock.
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // Only a lock another process holds means "already running".
        m_heldElsewhere = errno == EWOULDBLOCK;
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return;
    }
    m_fd = fd;
}

SingleInstanceLock::~SingleInstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace platform
