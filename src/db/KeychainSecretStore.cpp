#include "db/KeychainSecretStore.h"

#include <qt6keychain/keychain.h>

namespace zobran {

namespace {

SecretStore::Outcome outcomeOf(const QKeychain::Job& job)
{
    switch (job.error()) {
    case QKeychain::NoError:
        return SecretStore::Outcome::Done;
    case QKeychain::EntryNotFound:
        return SecretStore::Outcome::NotFound;
    default:
        return SecretStore::Outcome::Unavailable;
    }
}

} // namespace

KeychainSecretStore::KeychainSecretStore(QString service) : service_(std::move(service)) {}

void KeychainSecretStore::read(const QString& name, Done done)
{
    auto* job = new QKeychain::ReadPasswordJob(service_);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(name);
    QObject::connect(job, &QKeychain::Job::finished, job, [done = std::move(done)](QKeychain::Job* finished) {
        const SecretStore::Outcome outcome = outcomeOf(*finished);
        done(outcome,
             outcome == Outcome::Done ? static_cast<QKeychain::ReadPasswordJob*>(finished)->textData()
                                      : finished->errorString());
    });
    job->start();
}

void KeychainSecretStore::write(const QString& name, const QString& secret, Done done)
{
    auto* job = new QKeychain::WritePasswordJob(service_);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(name);
    job->setTextData(secret);
    QObject::connect(job, &QKeychain::Job::finished, job, [done = std::move(done)](QKeychain::Job* finished) {
        done(outcomeOf(*finished), finished->errorString());
    });
    job->start();
}

} // namespace zobran
