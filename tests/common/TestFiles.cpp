#include "TestFiles.h"

#include <QCryptographicHash>
#include <QFile>

bool WriteLinkSettings(const QString &path, const QMap<QString, QString> &linkinfo)
{
    QByteArray text = "[linkinfo]\n";
    for (auto it = linkinfo.cbegin(); it != linkinfo.cend(); ++it)
        text += it.key().toUtf8() + '=' + it.value().toUtf8() + '\n';
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

QByteArray FileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&file);
    return hash.result();
}
