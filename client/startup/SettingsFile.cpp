#include "SettingsFile.h"

#include "CodePage936.h"
#include "IniText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Ours holds a few short lines; anything far larger is some other file, read by nobody here.
constexpr qint64 kLargestSettingsFile = 1 << 20;

bool readWhole(const QString &path, QByteArray *text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestSettingsFile)
        return false;
    *text = file.read(kLargestSettingsFile + 1);
    return file.error() == QFileDevice::NoError && text->size() <= kLargestSettingsFile;
}

// A file with NUL bytes is no text file: rewriting it line by line would change bytes that are not ours.
bool isRewritable(const QByteArray &text)
{
    return !text.contains('\0');
}

// The user's own "read-only" counts even for a user whom the system would let write anyway.
bool isMarkedWritable(const QFileInfo &info)
{
    return info.isWritable() && (info.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup |
                                                       QFileDevice::WriteOther));
}

// The file's text as UTF-8 for the INI functions, and the code page it goes back in.
struct SettingsText
{
    QByteArray utf8;
    bool codePage936 = false;
};

// A file that is not UTF-8 came from a Chinese Windows system. One that is neither stays as it is:
// its lines are read as before and a write leaves the others' bytes alone.
SettingsText asUtf8(const QByteArray &bytes)
{
    if (QString::fromUtf8(bytes).toUtf8() == bytes)
        return {bytes, false};
    if (const std::optional<QString> text = FromCodePage936(bytes))
        return {text->toUtf8(), true};
    return {bytes, false};
}

// Writes through a temporary file renamed over the old one, keeping the old file's permissions.
bool replaceWhole(const QString &path, const QByteArray &text)
{
    const QFileInfo info(path);
    if (!info.isFile() || !isMarkedWritable(info))
        return false;
    const QFileDevice::Permissions permissions = QFile::permissions(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return false;
    QFile::setPermissions(path, permissions);
    return true;
}

} // namespace

QString SettingsPath()
{
    return QDir::currentPath() + QStringLiteral("/mainkw.ini");
}

bool SettingsFileExists()
{
    return QFileInfo(SettingsPath()).isFile();
}

QString ReadSetting(const QString &section, const QString &key, const QString &fallback)
{
    QByteArray text;
    if (!readWhole(SettingsPath(), &text))
        return fallback;
    return IniRead(asUtf8(text).utf8, section, key, fallback);
}

bool WriteSetting(const QString &section, const QString &key, const QString &value)
{
    const QString path = SettingsPath();
    QByteArray text;
    if (!SettingsFileExists() || !readWhole(path, &text) || !isRewritable(text))
        return false;
    const SettingsText current = asUtf8(text);
    const QByteArray written = IniWrite(current.utf8, section, key, value);
    return replaceWhole(path, current.codePage936 ? ToCodePage936(QString::fromUtf8(written)) : written);
}

bool CreateSettingsFile()
{
    const QString path = SettingsPath();
    if (QFileInfo::exists(path))
        return QFileInfo(path).isFile();
    QFile file(path);
    // It may come to hold a password: the owner's alone from the start.
    if (!file.open(QIODevice::NewOnly | QIODevice::WriteOnly,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return false;
    file.close();
    return true;
}
