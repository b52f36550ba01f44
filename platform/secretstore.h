#pragma once

#include <QString>

namespace platform {

// Secrets kept by the user's session keyring, each under a service and a key. Every call waits a
// bounded time (SecretWaitLimitMs); a keyring that does not answer in time, or answers with an
// error, counts as absent for that call. Nothing is ever kept outside the keyring.

enum class SecretStatus {
    Found,      // read: the secret is there
    NotFound,   // read: the keyring answered and holds no such secret
    Unavailable // no keyring, an error, or no answer in time
};

struct SecretLookup
{
    SecretStatus status = SecretStatus::Unavailable;
    QString secret;
};

// Whether a keyring answers at all right now.
bool SecretStoreReachable();

SecretLookup ReadSecret(const QString &service, const QString &key);
// True only when the keyring confirmed that it holds the secret.
bool WriteSecret(const QString &service, const QString &key, const QString &secret);
// True when the keyring confirmed that no such secret is left (also when there was none).
bool DeleteSecret(const QString &service, const QString &key);

// The longest a single call waits for the keyring; tests shorten it.
int SecretWaitLimitMs();
void SetSecretWaitLimitMs(int ms);

} // namespace platform
