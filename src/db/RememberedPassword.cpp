#include "db/RememberedPassword.h"

#include "db/SecretStore.h"
#include "db/Settings.h"

namespace zobran {

namespace {

SecretStore*& storeVariable()
{
    static SecretStore* store = nullptr;
    return store;
}

SecretStoreState& stateVariable()
{
    static SecretStoreState state = SecretStoreState::Unknown;
    return state;
}

void noteAnswer(SecretStore::Outcome outcome)
{
    stateVariable()
        = outcome == SecretStore::Outcome::Unavailable ? SecretStoreState::Absent : SecretStoreState::Running;
}

QString passwordInFile()
{
    return GetSetting(SettingsApplication, SettingsSection, settingkeys::Password.readAs);
}

void keepInFile(const QString& password)
{
    // SaveSetting leaves the file readable by its owner only.
    SaveSetting(SettingsApplication, SettingsSection, settingkeys::Password.writtenAs, password);
}

// Stores the password; once the store has it, the file's copy goes, unless the file meanwhile
// took another password (one saved while the store was thought absent). When the store cannot
// take it, the file keeps it.
void putIntoStore(SecretStore& store, const QString& password)
{
    const QString fileBefore = passwordInFile();
    store.write(PasswordSecretName, password, [password, fileBefore](SecretStore::Outcome outcome, const QString&) {
        noteAnswer(outcome);
        if (outcome == SecretStore::Outcome::Done) {
            const QString inFile = passwordInFile();
            if (inFile == password || inFile == fileBefore)
                RemoveSetting(SettingsApplication, SettingsSection, settingkeys::Password.readAs);
        } else if (passwordInFile() != password) {
            keepInFile(password);
        }
    });
}

} // namespace

SecretStore* secretStore()
{
    return storeVariable();
}

void setSecretStore(SecretStore* store)
{
    storeVariable() = store;
}

SecretStoreState lastSecretStoreState()
{
    return stateVariable();
}

void forgetSecretStoreState()
{
    stateVariable() = SecretStoreState::Unknown;
}

QString loadRememberedPassword(std::function<void(const QString&)> fromStore)
{
    const QString inFile = passwordInFile();
    if (!inFile.isEmpty())
        restrictSettingsFileToOwner(SettingsApplication); // earlier settings files may be readable by all
    SecretStore* store = secretStore();
    if (!store)
        return inFile;
    if (!inFile.isEmpty()) {
        putIntoStore(*store, inFile); // the file's copy is the newest one
        return inFile;
    }
    store->read(PasswordSecretName,
                [fromStore = std::move(fromStore)](SecretStore::Outcome outcome, const QString& secret) {
                    noteAnswer(outcome);
                    if (outcome == SecretStore::Outcome::Done && passwordInFile().isEmpty() && fromStore)
                        fromStore(secret);
                });
    return inFile;
}

void saveRememberedPassword(const QString& password)
{
    SecretStore* store = secretStore();
    if (!store || lastSecretStoreState() == SecretStoreState::Absent)
        keepInFile(password);
    else
        putIntoStore(*store, password);
}

} // namespace zobran
