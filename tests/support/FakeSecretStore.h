#pragma once

#include "db/SecretStore.h"

#include <QMap>

#include <functional>
#include <vector>

namespace zobran::test {

// A secret store that answers only when the test says so, as a real one answers later.
class FakeSecretStore : public SecretStore {
public:
    bool running = true;
    QMap<QString, QString> kept;

    void read(const QString& name, Done done) override
    {
        pending_.push_back([this, name, done] {
            if (!running)
                done(Outcome::Unavailable, "no secret store");
            else if (kept.contains(name))
                done(Outcome::Done, kept.value(name));
            else
                done(Outcome::NotFound, {});
        });
    }
    void write(const QString& name, const QString& secret, Done done) override
    {
        pending_.push_back([this, name, secret, done] {
            if (!running)
                return done(Outcome::Unavailable, "no secret store");
            kept[name] = secret;
            done(Outcome::Done, {});
        });
    }
    // Delivers every answer asked for so far; returns how many there were.
    int answer()
    {
        std::vector<std::function<void()>> answers;
        answers.swap(pending_);
        for (const auto& a : answers)
            a();
        return static_cast<int>(answers.size());
    }

private:
    std::vector<std::function<void()>> pending_;
};

} // namespace zobran::test
