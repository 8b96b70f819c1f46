#pragma once

#include "db/SecretStore.h"

namespace zobran {

// The desktop's secret store (the Secret Service of GNOME and others, or KWallet) through
// QtKeychain. Its jobs run on the event loop of the calling thread; the insecure fallback of
// QtKeychain (a plain file of its own) is never used: where no store runs, jobs answer Unavailable
// and the password stays in the program's settings file.
class KeychainSecretStore : public SecretStore {
public:
    // service: the name the entries are filed under in the store.
    explicit KeychainSecretStore(QString service);

    void read(const QString& name, Done done) override;
    void write(const QString& name, const QString& secret, Done done) override;

private:
    QString service_;
};

} // namespace zobran
