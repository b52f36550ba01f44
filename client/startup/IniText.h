#pragma once

#include <QByteArray>
#include <QString>

// The INI format of the settings file as pure functions over the file's bytes (UTF-8).
// Sections and keys match without regard to case; lines that are not ours are kept as they are.

// The value of key in section, or `fallback` when either is missing. Surrounding blanks and one
// pair of surrounding double quotes are removed.
QString IniRead(const QByteArray &text, const QString &section, const QString &key, const QString &fallback);

// The text with key in section set to value: the key's line is replaced in place, a missing key is
// appended to its section, a missing section to the end.
QByteArray IniWrite(const QByteArray &text, const QString &section, const QString &key, const QString &value);
