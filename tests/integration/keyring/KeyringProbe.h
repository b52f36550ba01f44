#pragma once

#include <QString>

// What a keyring test needs to see from outside the client.

// Whether this run was started inside a keyring session (SORVANE_EXPECT_KEYRING=1).
bool KeyringExpected();

// The client's remembered password for that key as the keyring tool reads it; empty text when
// there is none or no keyring answers.
QString KeyringPassword(const QString &key);

// Stops or resumes the test session's keyring daemon, to play a keyring that never answers.
bool PauseKeyringDaemon();
bool ResumeKeyringDaemon();
