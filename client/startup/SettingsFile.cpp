#include "SettingsFile.h"

#include "IniText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool readWhole(const QString &path, QByteArray *text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *text = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// Writes through a temporary file renamed over the old one, keeping the old file's permissions.
bool replaceWhole(const QString &path, const QByteArray &text)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isWritable())
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
    return IniRead(text, section, key, fallback);
}

bool WriteSetting(const QString &section, const QString &key, const QString &value)
{
    const QString path = SettingsPath();
    QByteArray text;
    if (!SettingsFileExists() || !readWhole(path, &text))
        return false;
    return replaceWhole(path, IniWrite(text, section, key, value));
}

bool CreateSettingsFile()
{
    const QString path = SettingsPath();
    if (QFileInfo::exists(path))
        return QFileInfo(path).isFile();
    QFile file(path);
    if (!file.open(QIODevice::NewOnly | QIODevice::WriteOnly))
        return false;
    file.close();
    return true;
}
