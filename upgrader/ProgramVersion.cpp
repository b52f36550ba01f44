#include "ProgramVersion.h"

#include "ReleaseVersion.h"

#include <QFile>

namespace {

constexpr qsizetype maxVersionLength = 32;

bool isVersionCharacter(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' ||
           c == '-' || c == '_' || c == '+';
}

} // namespace

QString VersionMarkedIn(const QByteArray &program)
{
    static const QByteArray prefix = QByteArrayLiteral(SORVANE_RELEASE_MARKER_PREFIX);
    // The prefix alone may occur too (wherever code spells it): only a whole marker counts.
    for (qsizetype at = program.indexOf(prefix); at >= 0; at = program.indexOf(prefix, at + 1)) {
        const qsizetype start = at + prefix.size();
        qsizetype end = start;
        while (end < program.size() && end - start <= maxVersionLength && isVersionCharacter(program.at(end)))
            ++end;
        if (end > start && end - start <= maxVersionLength && end < program.size() && program.at(end) == '\0')
            return QString::fromLatin1(program.mid(start, end - start));
    }
    return {};
}

QString ProgramFileVersion(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() <= 0)
        return {};
    // Mapped, not read: a program file is tens of MiB.
    const uchar *bytes = file.map(0, file.size());
    if (!bytes)
        return {};
    const QString version =
        VersionMarkedIn(QByteArray::fromRawData(reinterpret_cast<const char *>(bytes), file.size()));
    file.unmap(const_cast<uchar *>(bytes));
    return version;
}

bool IsNewerRelease(const QString &releaseVersion, const QString &installedVersion)
{
    if (releaseVersion.isEmpty())
        return false;
    return installedVersion.isEmpty() || CompareVersionText(releaseVersion, installedVersion) > 0;
}
