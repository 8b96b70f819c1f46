#include "ui/ConnectionFields.h"
#include "db/RememberedPassword.h"
#include "db/Settings.h"
#include "db/SharedConnections.h"
#include "support/FakeSecretStore.h"
#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace zobran;
using namespace zobran::test;

namespace {

QString remembered(const SettingKey& key)
{
    return GetSetting(SettingsApplication, SettingsSection, key.readAs);
}

void remember(const SettingKey& key, const QString& value)
{
    SaveSetting(SettingsApplication, SettingsSection, key.writtenAs, value);
}

// A window with the five connection boxes, shown so that focus can be checked.
class ConnectionFieldsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setPrompts(&scripted);
        for (QLineEdit*& box : boxes)
            box = new QLineEdit(&window);
        window.show();
        QApplication::setActiveWindow(&window);
    }
    void TearDown() override { setPrompts(nullptr); }

    ConnectionFields fields() const { return ConnectionFields(boxes[0], boxes[1], boxes[2], boxes[3], boxes[4]); }
    void fill(const ConnectionTexts& texts)
    {
        for (std::size_t i = 0; i < boxes.size(); ++i)
            boxes[i]->setText(texts[i]);
    }

    QDialog window;
    std::array<QLineEdit*, 5> boxes{};
    ScriptedPrompts scripted;
};

} // namespace

TEST(ConnectionFieldChecks, TheFirstEmptyFieldInOrderWithItsMessage)
{
    EXPECT_EQ(firstEmptyConnectionField({"SQL Server", "srv", "db", "sa", "pw"}), std::nullopt);
    EXPECT_EQ(firstEmptyConnectionField({"", "", "", "", ""}), ConnectionField::Driver);
    EXPECT_EQ(firstEmptyConnectionField({"d", " ", "", "sa", ""}), ConnectionField::Database) << "a blank is text";
    EXPECT_EQ(firstEmptyConnectionField({"d", "s", "b", "l", ""}), ConnectionField::Password);

    EXPECT_EQ(connectionFieldRefusal(ConnectionField::Driver), "Invalid Driver !!!");
    EXPECT_EQ(connectionFieldRefusal(ConnectionField::Server), "Invalid Server Name !!!");
    EXPECT_EQ(connectionFieldRefusal(ConnectionField::Database), "Invalid Database Name !!!");
    EXPECT_EQ(connectionFieldRefusal(ConnectionField::Login), "Invalid User ID !!!");
    EXPECT_EQ(connectionFieldRefusal(ConnectionField::Password), "Invalid Password !!!");
}

TEST_F(ConnectionFieldsTest, RefusesTheFirstEmptyBoxAndPutsTheFocusThere)
{
    fill({"SQL Server", "srv", "", "sa", ""});
    EXPECT_FALSE(fields().checkEachFilled(&window));
    ASSERT_EQ(scripted.messages().size(), 1u);
    EXPECT_TRUE(scripted.wasShown("Invalid Database Name !!!", "Message", MsgIcon::Critical));
    EXPECT_EQ(window.focusWidget(), boxes[2]);

    scripted.reset();
    fill({"SQL Server", "srv", "db", "sa", "pw"});
    EXPECT_TRUE(fields().checkEachFilled(&window));
    EXPECT_TRUE(scripted.calls().empty());
}

TEST_F(ConnectionFieldsTest, WindowsWithoutDriverOrDatabaseBoxCheckOnlyWhatTheyHave)
{
    const ConnectionFields serverOnly(nullptr, boxes[1], nullptr, boxes[3], boxes[4]);
    fill({"", "srv", "", "sa", "pw"});
    EXPECT_TRUE(serverOnly.checkEachFilled(&window));
    boxes[3]->clear();
    EXPECT_FALSE(serverOnly.checkEachFilled(&window));
    EXPECT_TRUE(scripted.wasShown("Invalid User ID !!!", "Message", MsgIcon::Critical));
    EXPECT_EQ(window.focusWidget(), boxes[3]);
}

TEST_F(ConnectionFieldsTest, RemembersFourValuesAndNeverTheDriver)
{
    remember(settingkeys::Server, "old server");
    fill({"My Driver", "srv,1433", "shop", "sa", "p;w"});
    fields().saveRemembered();
    EXPECT_EQ(remembered(settingkeys::Server), "srv,1433");
    EXPECT_EQ(remembered(settingkeys::Database), "shop");
    EXPECT_EQ(remembered(settingkeys::Login), "sa");
    EXPECT_EQ(remembered(settingkeys::Password), "p;w");

    fill({"SQL Server", "", "", "", ""});
    fields().loadRemembered();
    EXPECT_EQ(boxes[0]->text(), "SQL Server") << "the driver is not a remembered value";
    EXPECT_EQ(boxes[1]->text(), "srv,1433");
    EXPECT_EQ(boxes[2]->text(), "shop");
    EXPECT_EQ(boxes[3]->text(), "sa");
    EXPECT_EQ(boxes[4]->text(), "p;w");

    // A window without a database box neither reads nor writes it.
    remember(settingkeys::Database, "kept");
    const ConnectionFields serverOnly(nullptr, boxes[1], nullptr, boxes[3], boxes[4]);
    boxes[1]->setText("other");
    serverOnly.saveRemembered();
    EXPECT_EQ(remembered(settingkeys::Database), "kept");
    EXPECT_EQ(remembered(settingkeys::Server), "other");
}

TEST_F(ConnectionFieldsTest, TheSharedConnectStepCopiesRemembersAndReportsAFailedOpen)
{
    fill({"No Such Driver", "srv", "shop", "sa", "pw"});
    QString shownSub;
    scripted.onModal([&](QDialog& d) { shownSub = d.objectName(); });
    fields().runSharedConnection();
    const ConnectionParameters& p = ConnParams();
    EXPECT_EQ(p.DriverName, "No Such Driver");
    EXPECT_EQ(p.ServerName, "srv");
    EXPECT_EQ(p.DatabaseName, "shop");
    EXPECT_EQ(p.LoginId, "sa");
    EXPECT_EQ(p.LoginPassword, "pw");
    EXPECT_EQ(remembered(settingkeys::Database), "shop") << "values that fail to connect are remembered too";
    EXPECT_EQ(shownSub, "TRERR") << "the failed open is reported in the error window";
    ASSERT_TRUE(SharedConnection());
    EXPECT_FALSE(SharedConnection()->isOpen());
    SharedConnection().reset();
}

TEST_F(ConnectionFieldsTest, TheStoresPasswordFillsTheBoxWhenItAnswersUnlessTheUserTypedOne)
{
    FakeSecretStore store;
    setSecretStore(&store);
    forgetSecretStoreState();
    fill({"SQL Server", "srv", "shop", "sa", "kept;pw"});
    fields().saveRemembered();
    store.answer();
    ASSERT_EQ(store.kept.value(PasswordSecretName), "kept;pw");
    EXPECT_EQ(remembered(settingkeys::Password), "") << "not in the file while the store runs";

    for (const bool userTypes : {false, true}) {
        fill({"SQL Server", "", "", "", "typed"});
        fields().loadRemembered();
        EXPECT_EQ(boxes[1]->text(), "srv");
        EXPECT_EQ(boxes[4]->text(), "") << "the file holds no password";
        if (userTypes)
            boxes[4]->setText("typed");
        store.answer();
        EXPECT_EQ(boxes[4]->text(), userTypes ? "typed" : "kept;pw");
    }

    // The window may go before the store answers.
    auto* box = new QLineEdit(&window);
    ConnectionFields(nullptr, nullptr, nullptr, nullptr, box).loadRemembered();
    delete box;
    EXPECT_EQ(store.answer(), 1);

    setSecretStore(nullptr);
    forgetSecretStoreState();
}
