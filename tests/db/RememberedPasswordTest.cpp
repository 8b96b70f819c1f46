#include "db/RememberedPassword.h"
#include "db/SecretStore.h"
#include "db/Settings.h"
#include "support/FakeSecretStore.h"

#include <QFile>

#include <gtest/gtest.h>

#include <optional>

using namespace zobran;
using zobran::test::FakeSecretStore;

namespace {

std::optional<QString> passwordInFile()
{
    const QString missing = QStringLiteral("<missing>");
    const QString value = GetSetting(SettingsApplication, SettingsSection, settingkeys::Password.readAs, missing);
    return value == missing ? std::nullopt : std::optional<QString>(value);
}

bool fileIsPrivate()
{
    const QFileDevice::Permissions perms = QFile::permissions(settingsFilePath(SettingsApplication));
    return (perms
            & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup | QFileDevice::WriteOther))
        == 0;
}

class RememberedPasswordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveSetting(SettingsApplication, SettingsSection, settingkeys::Password.readAs);
        forgetSecretStoreState();
    }
    void TearDown() override
    {
        setSecretStore(nullptr);
        forgetSecretStoreState();
    }

    // Earlier settings: the password in a file anyone may read.
    void oldSettingsWith(const QString& password)
    {
        SaveSetting(SettingsApplication, SettingsSection, settingkeys::Password.writtenAs, password);
        QFile::setPermissions(settingsFilePath(SettingsApplication),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                  | QFileDevice::ReadOther);
    }

    // Loads the password as a window does: what it shows at once and what the store fills in later.
    QString load()
    {
        fromStore.reset();
        return loadRememberedPassword([this](const QString& p) { fromStore = p; });
    }

    FakeSecretStore store;
    std::optional<QString> fromStore;
};

} // namespace

TEST_F(RememberedPasswordTest, WithoutASecretStoreThePasswordStaysInAPrivateFile)
{
    oldSettingsWith("old");
    EXPECT_EQ(load(), "old");
    EXPECT_TRUE(fileIsPrivate()) << "a readable file holding a password is closed on the first read";

    saveRememberedPassword("new;pw");
    EXPECT_EQ(passwordInFile(), "new;pw");
    EXPECT_TRUE(fileIsPrivate());
    EXPECT_EQ(load(), "new;pw");
    EXPECT_EQ(fromStore, std::nullopt);
}

TEST_F(RememberedPasswordTest, ARunningStoreTakesThePasswordOutOfTheFile)
{
    setSecretStore(&store);
    oldSettingsWith("old");
    EXPECT_EQ(load(), "old") << "earlier settings keep working";
    EXPECT_EQ(store.answer(), 1);
    EXPECT_EQ(store.kept.value(PasswordSecretName), "old");
    EXPECT_EQ(passwordInFile(), std::nullopt) << "moved into the store";
    EXPECT_EQ(lastSecretStoreState(), SecretStoreState::Running);

    saveRememberedPassword("new");
    EXPECT_EQ(passwordInFile(), std::nullopt) << "never written into the file, not even for a moment";
    store.answer();
    EXPECT_EQ(store.kept.value(PasswordSecretName), "new");
    EXPECT_EQ(passwordInFile(), std::nullopt);

    EXPECT_EQ(load(), "");
    EXPECT_EQ(fromStore, std::nullopt) << "filled in when the store answers";
    store.answer();
    EXPECT_EQ(fromStore, "new");
}

TEST_F(RememberedPasswordTest, WhereTheStoreDoesNotAnswerTheFileKeepsThePassword)
{
    store.running = false;
    setSecretStore(&store);
    oldSettingsWith("old");
    EXPECT_EQ(load(), "old");
    store.answer();
    EXPECT_EQ(passwordInFile(), "old");
    EXPECT_TRUE(fileIsPrivate());
    EXPECT_EQ(lastSecretStoreState(), SecretStoreState::Absent);

    saveRememberedPassword("new");
    EXPECT_EQ(passwordInFile(), "new") << "the store is known to be absent: written at once";
    EXPECT_EQ(store.answer(), 0);

    // A store not yet asked: the file takes the password once the store has failed to.
    forgetSecretStoreState();
    saveRememberedPassword("newer");
    EXPECT_EQ(passwordInFile(), "new");
    store.answer();
    EXPECT_EQ(passwordInFile(), "newer");
    EXPECT_TRUE(fileIsPrivate());

    // A store that starts later takes the password at the next load.
    store.running = true;
    EXPECT_EQ(load(), "newer");
    store.answer();
    EXPECT_EQ(store.kept.value(PasswordSecretName), "newer");
    EXPECT_EQ(passwordInFile(), std::nullopt);
}
