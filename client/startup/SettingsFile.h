#pragma once

#include <QString>

// The settings file "mainkw.ini" in the current directory, looked up anew at every access.
// Every write replaces the file in one step, so it is never left half-written.
// A file that is not UTF-8 is read and written back in code page 936, as a Chinese Windows system
// wrote it.

QString SettingsPath();
bool SettingsFileExists();

QString ReadSetting(const QString &section, const QString &key, const QString &fallback);

// Writes one value only if the file exists at that moment; a deleted file is never recreated here.
// A file that is not ours to rewrite (larger than 1 MiB, holding NUL bytes, marked read-only) is
// left exactly as it is. False when nothing was written.
// Reading a file larger than 1 MiB gives the fallback.
bool WriteSetting(const QString &section, const QString &key, const QString &value);

// Creates the file empty, readable and writable by its owner only, when it is missing. False when it
// can be neither found nor created.
bool CreateSettingsFile();
