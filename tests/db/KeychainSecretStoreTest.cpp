#include "db/KeychainSecretStore.h"
#include "db/RememberedPassword.h"
#include "db/Settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace zobran;

// With no secret store running (no session bus at all), the desktop's store answers Unavailable
// and the password stays in the settings file, readable by its owner only.
TEST(KeychainSecretStore, WithoutARunningStoreThePasswordStaysInThePrivateFile)
{
    QTemporaryDir runtime;
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qunsetenv("DISPLAY");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());

    KeychainSecretStore store(QStringLiteral("ZOBRAN tests"));
    setSecretStore(&store);
    forgetSecretStoreState();
    RemoveSetting(SettingsApplication, SettingsSection, settingkeys::Password.readAs);

    std::optional<SecretStore::Outcome> read;
    store.read(PasswordSecretName, [&](SecretStore::Outcome outcome, const QString&) { read = outcome; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return read.has_value(); }, 60000));
    EXPECT_EQ(*read, SecretStore::Outcome::Unavailable);

    saveRememberedPassword("pw;1");
    ASSERT_TRUE(QTest::qWaitFor([] { return lastSecretStoreState() != SecretStoreState::Unknown; }, 60000));
    EXPECT_EQ(lastSecretStoreState(), SecretStoreState::Absent);
    EXPECT_EQ(GetSetting(SettingsApplication, SettingsSection, settingkeys::Password.readAs), "pw;1");
    const QFileDevice::Permissions perms = QFile::permissions(settingsFilePath(SettingsApplication));
    EXPECT_EQ(perms & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);

    setSecretStore(nullptr);
    forgetSecretStoreState();
}
