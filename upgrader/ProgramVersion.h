#pragma once

#include <QByteArray>
#include <QString>

// Which release a program file is, read from the file itself: it is never run to ask.

// The version in a program's release marker (the marker prefix, the version, a NUL byte); empty
// when the bytes carry none.
QString VersionMarkedIn(const QByteArray &program);
// The same for the file at path; empty when it names none or cannot be read.
QString ProgramFileVersion(const QString &path);

// Whether a signed release may replace a program of installedVersion: only a newer one, compared
// as the client's version check compares. A program without a marker is older than any release.
bool IsNewerRelease(const QString &releaseVersion, const QString &installedVersion);
