#include "MgenTestSupport.h"
#include "support/TestServer.h"

#include "basics/AppPath.h"
#include "generate/PluCleanup.h"

#include <QLabel>

using namespace zobran;
using namespace zobran::test;

namespace {

class PluCleanupTest : public MgenWindowTest {
protected:
    void SetUp() override
    {
        MgenWindowTest::SetUp();
        setup().execute("drop table if exists qinv_mt_plu; drop table if exists qinv_mt_item");
        setup().execute("create table qinv_mt_item (itemcode varchar(20) primary key, description varchar(40))");
        setup().execute("create table qinv_mt_plu (itemcode varchar(20), plucode varchar(20))");
        setup().execute("insert into qinv_mt_item values ('100', 'three codes'), ('O''NEIL', 'quoted'), "
                        "('200', 'one code'), ('300', 'two codes')");
        setup().execute("insert into qinv_mt_plu values ('100', '100'), ('100', '10'), ('100', '9'), "
                        "('O''NEIL', 'O''NEIL'), ('O''NEIL', '7'), ('O''NEIL', '8'), "
                        "('200', '200'), ('300', '31'), ('300', '300')");
    }

    void TearDown() override
    {
        setup().execute("drop table if exists qinv_mt_plu; drop table if exists qinv_mt_item");
        MgenWindowTest::TearDown();
    }

    std::vector<std::string> codesOf(const char* item)
    {
        db::ResultSet rows;
        rows.open(QStringLiteral("select plucode from qinv_mt_plu where itemcode = '%1' order by plucode").arg(item),
                  setup());
        std::vector<std::string> codes;
        for (; !rows.eof(); rows.moveNext())
            codes.emplace_back(rows.value(0));
        return codes;
    }
};

} // namespace

TEST_F(PluCleanupTest, EachRunDeletesTheHighestOtherCodeOfEveryItem)
{
    std::vector<QString> seen;
    EXPECT_EQ(removeHighestDuplicatePlu(setup(), [&](const QString& item) { seen.push_back(item); }), 3);
    EXPECT_EQ(seen, (std::vector<QString>{"100", "300", "O'NEIL"}));
    EXPECT_EQ(codesOf("100"), (std::vector<std::string>{"100", "9"}));
    EXPECT_EQ(codesOf("O''NEIL"), (std::vector<std::string>{"7", "O'NEIL"}));
    EXPECT_EQ(codesOf("300"), (std::vector<std::string>{"300"}));

    EXPECT_EQ(removeHighestDuplicatePlu(setup(), {}), 2);
    EXPECT_EQ(codesOf("100"), (std::vector<std::string>{"100"}));
    EXPECT_EQ(codesOf("200"), (std::vector<std::string>{"200"}));
    EXPECT_EQ(removeHighestDuplicatePlu(setup(), {}), 0);
}

TEST_F(PluCleanupTest, TheButtonReportsTheCountAndLeavesTheDriverFieldAlone)
{
    withWindow([&](MgenWindow& w) {
        click(cBut(w, MgenWindow::ConnectButton));
        scripted.reset();
        click(child<QPushButton>(w, "Command1"));
        EXPECT_TRUE(scripted.wasShown("3 FUCK DONE !!!", ProgramTitle, MsgIcon::None)) << scripted.calls().front();
        EXPECT_EQ(field(w, 0)->text(), "SQL Server");
        EXPECT_EQ(child<QLabel>(w, "LblBar")->text(), "O'NEIL");

        scripted.reset();
        click(child<QPushButton>(w, "Command1"));
        click(child<QPushButton>(w, "Command1"));
        ASSERT_EQ(scripted.messages().size(), 2u);
        EXPECT_EQ(scripted.messages()[0].text, "2 FUCK DONE !!!");
        EXPECT_EQ(scripted.messages()[1].text, "0 FUCK DONE !!!");

        // Without the tables the failure is reported under the button's name.
        setup().execute("drop table qinv_mt_plu");
        QString sub;
        scripted.onModal([&](QDialog& d) { sub = d.findChild<QLabel*>("ErrSub")->text(); });
        click(child<QPushButton>(w, "Command1"));
        EXPECT_EQ(sub, "Command1_Click");
    });
}
