#include "db/Settings.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zobran;

namespace {

// Each test keeps its settings under an application name of its own.
class SettingsTest : public ::testing::Test {
protected:
    QString app = QStringLiteral("ZobranSettingsTest_%1").arg(::testing::UnitTest::GetInstance()->random_seed())
        + QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
    void TearDown() override { QFile::remove(settingsFilePath(app)); }

    QStringList storedKeys()
    {
        QSettings raw(QSettings::IniFormat, QSettings::UserScope, app, app);
        raw.beginGroup(SettingsSection);
        return raw.childKeys();
    }
};

} // namespace

TEST_F(SettingsTest, KeysAreFoundWithoutRegardToCaseAndWrittenWithTheirOwnSpelling)
{
    EXPECT_EQ(GetSetting(app, SettingsSection, settingkeys::Server.readAs), "");
    SaveSetting(app, SettingsSection, settingkeys::Server.writtenAs, "SRV1");
    SaveSetting(app, SettingsSection, settingkeys::Login.writtenAs, "sa");
    EXPECT_EQ(GetSetting(app, SettingsSection, "cserver"), "SRV1");
    EXPECT_EQ(GetSetting(app, SettingsSection, "CSERVER"), "SRV1");
    EXPECT_EQ(GetSetting(app, SettingsSection, "clogin"), "sa");
    EXPECT_EQ(GetSetting(app, SettingsSection, "cpassword", "none"), "none");
    EXPECT_TRUE(storedKeys().contains("cServer"));
    EXPECT_TRUE(storedKeys().contains("cLogin"));
}

TEST_F(SettingsTest, AnotherSpellingOfTheKeyIsReplacedNotDoubled)
{
    {
        QSettings raw(QSettings::IniFormat, QSettings::UserScope, app, app);
        raw.setValue(SettingsSection + "/CSERVER", "old");
    }
    EXPECT_EQ(GetSetting(app, SettingsSection, "cserver"), "old");
    SaveSetting(app, SettingsSection, "cServer", "new");
    EXPECT_EQ(storedKeys(), QStringList{"cServer"});
    EXPECT_EQ(GetSetting(app, SettingsSection, "cserver"), "new");
}

TEST_F(SettingsTest, TheFileHoldingThePasswordIsReadableByItsOwnerOnly)
{
    SaveSetting(app, SettingsSection, settingkeys::Password.writtenAs, "secret");
    const QFileDevice::Permissions perms = QFile::permissions(settingsFilePath(app));
    EXPECT_TRUE(perms & QFileDevice::ReadOwner);
    EXPECT_FALSE(
        perms & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup | QFileDevice::WriteOther));
}

TEST_F(SettingsTest, AHandWrittenValueWithCommasReadsBackAsTheTextWritten)
{
    SaveSetting(app, SettingsSection, settingkeys::Login.writtenAs, "sa");
    {
        QFile file(settingsFilePath(app));
        ASSERT_TRUE(file.open(QIODevice::Append | QIODevice::Text));
        file.write("cServer=host,1433\nConnTable=a, b ,c\ncPassword=\"x,y\"\n");
    }
    EXPECT_EQ(GetSetting(app, SettingsSection, "cserver"), "host,1433");
    EXPECT_EQ(GetSetting(app, SettingsSection, "conntable"), "a, b ,c");
    EXPECT_EQ(GetSetting(app, SettingsSection, "cpassword"), "x,y");
    EXPECT_EQ(GetSetting(app, SettingsSection, "clogin"), "sa");

    // Saved by the program, the same text is quoted in the file and reads back unchanged.
    SaveSetting(app, SettingsSection, settingkeys::Server.writtenAs, "other,1434");
    EXPECT_EQ(GetSetting(app, SettingsSection, "cserver"), "other,1434");
}
