#include "ui/ConnectDsn.h"
#include "basics/AppError.h"
#include "db/SharedConnections.h"
#include "errors/ErrorReport.h"
#include "support/ProgramFolder.h"
#include "support/ScriptedPrompts.h"
#include "support/TestServer.h"

#include <QDialog>
#include <QLabel>

#include <gtest/gtest.h>

using namespace zobran;

namespace {

class ConnectDsnTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        setPrompts(&scripted);
        const test::TestServer& server = test::testServer();
        ConnParams() = {"SQL Server", server.socketDir, "shop_hq", server.login, server.password};
    }
    void TearDown() override
    {
        SharedConnection().reset();
        setPrompts(nullptr);
    }

    test::ProgramFolder folder;
    test::ScriptedPrompts scripted;
};

} // namespace

TEST_F(ConnectDsnTest, OpensTheSharedConnectionThroughTheSqlServerDriverName)
{
    ConnectDSN();
    EXPECT_TRUE(scripted.calls().empty());
    const test::TestServer& server = test::testServer();
    EXPECT_EQ(ConnString(),
              "Driver={SQL Server};Server=" + server.socketDir + ";Database=shop_hq;Uid=" + server.login
                  + ";Pwd=" + server.password);
    ASSERT_TRUE(SharedConnection());
    EXPECT_TRUE(SharedConnection()->isOpen());
    EXPECT_EQ(SharedConnection()->cursorLocation(), db::CursorLocationClient);

    // Every call replaces the connection object with a new one.
    db::Connection* first = SharedConnection().get();
    ConnectDSN();
    EXPECT_NE(SharedConnection().get(), first);
    EXPECT_TRUE(SharedConnection()->isOpen());
}

TEST_F(ConnectDsnTest, ARefusedLoginIsReportedAsTheSharedModuleAndLeavesAnUnopenedConnection)
{
    ConnParams().LoginPassword = "wrong";
    QString form, sub, code, text;
    scripted.onModal([&](QDialog& window) {
        form = window.findChild<QLabel*>("ErrForm")->text();
        sub = window.findChild<QLabel*>("ErrSub")->text();
        code = window.findChild<QLabel*>("ErrCode")->text();
    });
    ConnectDSN();
    ASSERT_EQ(scripted.modals().size(), 1u);
    EXPECT_EQ(scripted.modals()[0].title, "Error Message");
    EXPECT_EQ(form, "Module1");
    EXPECT_EQ(sub, "ConnectDSN");
    EXPECT_FALSE(code.isEmpty());
    EXPECT_TRUE(ErrReport().isEmpty()) << "the report empties when the window closes";

    ASSERT_TRUE(SharedConnection());
    EXPECT_FALSE(SharedConnection()->isOpen());
    try {
        SharedConnection()->execute("select 1");
        FAIL();
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), errnum::ObjectClosed);
    }
}
