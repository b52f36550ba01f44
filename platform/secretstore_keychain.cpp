#include "platform/secretstore.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QTimer>

namespace platform {

namespace {

int g_waitLimitMs = 3000;

// The probe's key: no login name is empty, so it never meets a real entry.
const QString kProbeKey = QString();

struct JobOutcome
{
    bool answered = false;
    QKeychain::Error error = QKeychain::OtherError;
    QString text;
};

// Runs the job and waits for it at most the limit. A job that does not answer in time is left to
// finish (and free itself) on its own; its late answer is ignored.
JobOutcome RunJob(QKeychain::Job *job, const QString &key)
{
    JobOutcome outcome;
    // A secret must never end up in a plain file when the keyring is missing.
    job->setInsecureFallback(false);
    job->setAutoDelete(true);
    job->setKey(key);

    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&outcome, &loop](QKeychain::Job *done) {
        outcome.answered = true;
        outcome.error = done->error();
        if (const auto *read = qobject_cast<QKeychain::ReadPasswordJob *>(done))
            outcome.text = read->textData();
        loop.quit();
    });
    job->start();
    // The wait lets no user input through, so no second login can start inside it.
    if (!outcome.answered) {
        limit.start(g_waitLimitMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return outcome;
}

} // namespace

bool SecretStoreReachable()
{
    const SecretLookup probe = ReadSecret(QStringLiteral("sorvane-probe"), kProbeKey);
    return probe.status != SecretStatus::Unavailable;
}

SecretLookup ReadSecret(const QString &service, const QString &key)
{
    const JobOutcome outcome = RunJob(new QKeychain::ReadPasswordJob(service), key);
    SecretLookup lookup;
    if (!outcome.answered)
        return lookup;
    if (outcome.error == QKeychain::NoError) {
        lookup.status = SecretStatus::Found;
        lookup.secret = outcome.text;
    } else if (outcome.error == QKeychain::EntryNotFound) {
        lookup.status = SecretStatus::NotFound;
    }
    return lookup;
}

bool WriteSecret(const QString &service, const QString &key, const QString &secret)
{
    auto *job = new QKeychain::WritePasswordJob(service);
    job->setTextData(secret);
    const JobOutcome outcome = RunJob(job, key);
    return outcome.answered && outcome.error == QKeychain::NoError;
}

bool DeleteSecret(const QString &service, const QString &key)
{
    const JobOutcome outcome = RunJob(new QKeychain::DeletePasswordJob(service), key);
    return outcome.answered &&
           (outcome.error == QKeychain::NoError || outcome.error == QKeychain::EntryNotFound);
}

int SecretWaitLimitMs()
{
    return g_waitLimitMs;
}

void SetSecretWaitLimitMs(int ms)
{
    g_waitLimitMs = ms;
}

} // namespace platform
