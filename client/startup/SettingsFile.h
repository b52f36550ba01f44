#pragma once

#include <QString>

// The settings file "mainkw.ini" in the current directory, looked up anew at every access.
// Every write replaces the file in one step, so it is never left half-written.

QString SettingsPath();
bool SettingsFileExists();

QString ReadSetting(const QString &section, const QString &key, const QString &fallback);

// Writes one value only if the file exists at that moment; a deleted file is never recreated here.
// False when nothing was written.
bool WriteSetting(const QString &section, const QString &key, const QString &value);

// Creates the file empty when it is missing. False when it can be neither found nor created.
bool CreateSettingsFile();
