#pragma once

#include <QString>

#include <functional>

namespace zobran {

// The desktop's secret store, where the remembered password is kept when one is running. Its work
// is asynchronous: each call returns at once and calls `done` later, on the calling thread, from
// that thread's event loop.
class SecretStore {
public:
    enum class Outcome {
        Done,        // read: found (secret holds it); write: stored
        NotFound,    // read: the store runs but keeps nothing under the name
        Unavailable, // no store is running, or it refused the request (reason says why)
    };
    using Done = std::function<void(Outcome outcome, const QString& secretOrReason)>;

    virtual ~SecretStore() = default;
    virtual void read(const QString& name, Done done) = 0;
    virtual void write(const QString& name, const QString& secret, Done done) = 0;
};

// The program-wide secret store; nullptr (the default) means there is none and the password stays
// in the settings file.
SecretStore* secretStore();
void setSecretStore(SecretStore* store);

} // namespace zobran
