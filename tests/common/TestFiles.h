#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// Files the tests write and compare, one copy for every suite.

// Writes a settings file at `path` whose "linkinfo" section holds these values; false when the
// file cannot be written.
bool WriteLinkSettings(const QString &path, const QMap<QString, QString> &linkinfo);

// The SHA-1 of a file's bytes; empty when it cannot be read.
QByteArray FileHash(const QString &path);
