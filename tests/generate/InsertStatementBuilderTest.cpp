#include "generate/InsertStatementBuilder.h"
#include "basics/AppError.h"
#include "db/ResultSet.h"
#include "db/SqlTypes.h"

#include <gtest/gtest.h>

using namespace zobran;
using Rows = std::vector<std::vector<std::optional<std::string>>>;

namespace {

std::vector<db::FieldInfo> itemFields()
{
    return {{"id", db::sqltype::Integer},
            {"name", db::sqltype::VarChar},
            {"active", db::sqltype::Bit},
            {"created", db::sqltype::Timestamp},
            {"price", db::sqltype::Float}};
}

std::vector<std::string> statementsOf(db::ResultSet& rows, std::string_view table, ScriptKind kind,
                                      InsertStatementBuilder& builder)
{
    std::vector<std::string> out;
    builder.beginQuery(table, kind, rows);
    for (; !rows.eof(); rows.moveNext())
        out.emplace_back(builder.build(rows));
    return out;
}

} // namespace

TEST(InsertStatementBuilder, ExampleRowInBothKinds)
{
    const Rows rows = {{"5", "it's", "1", "2009-12-07 15:04:05", "12.5"}};
    InsertStatementBuilder builder;
    const std::string expected
        = "INSERT INTO qinv_mt_item (id,name,active,created,price) VALUES(5,'it''s',1,'2009-12-07T15:04:05','12.5')";

    auto sql = db::ResultSet::fromRows(itemFields(), rows);
    EXPECT_EQ(statementsOf(sql, "qinv_mt_item", ScriptKind::Sql, builder), std::vector<std::string>{expected});

    auto kx = db::ResultSet::fromRows(itemFields(), rows);
    EXPECT_EQ(statementsOf(kx, "qinv_mt_item", ScriptKind::Kx, builder),
              std::vector<std::string>{"<" + expected + ">"});
}

TEST(InsertStatementBuilder, AllNullRowAndChangingRowsReuseTheColumnList)
{
    const Rows rows = {{std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
                       {"-1", "", "0", "2009-12-07 00:00:00", "$1.00"},
                       {"7", "x", "True", "2009-12-07 12:30:00.5", "0"}};
    auto set = db::ResultSet::fromRows(itemFields(), rows);
    InsertStatementBuilder builder;
    const auto statements = statementsOf(set, "t", ScriptKind::Sql, builder);
    ASSERT_EQ(statements.size(), 3u);
    EXPECT_EQ(statements[0], "INSERT INTO t (id,name,active,created,price) VALUES(0,'',0,NULL,0)");
    EXPECT_EQ(statements[1],
              "INSERT INTO t (id,name,active,created,price) VALUES(-1,'',0,'2009-12-07T00:00:00','1.00')");
    EXPECT_EQ(statements[2],
              "INSERT INTO t (id,name,active,created,price) VALUES(7,'x',1,'2009-12-07T12:30:00.5','0')");
}

TEST(InsertStatementBuilder, EachQueryGetsItsOwnHeadAndCategories)
{
    InsertStatementBuilder builder;
    auto first = db::ResultSet::fromRows({{"a", db::sqltype::VarChar}, {"b", db::sqltype::VarChar}}, {{"1", "2"}});
    statementsOf(first, "one", ScriptKind::Kx, builder);
    auto second = db::ResultSet::fromRows({{"Code", db::sqltype::Numeric}, {"Blob", db::sqltype::VarBinary}},
                                          {{"12.500", "ab"}});
    EXPECT_EQ(statementsOf(second, "dbo.[Two]", ScriptKind::Sql, builder),
              std::vector<std::string>{"INSERT INTO dbo.[Two] (Code,Blob) VALUES(12.500,0xAB)"});
}

TEST(InsertStatementBuilder, ColumnsAreQuotedForTheServerWhenTheyAreNotRegularNames)
{
    const std::vector<db::FieldInfo> fields
        = {{"id", db::sqltype::Integer},        {"order", db::sqltype::Integer}, {"my col", db::sqltype::WVarChar},
           {"it's", db::sqltype::VarChar},      {"[br]", db::sqltype::Integer},  {"\u00F1ame", db::sqltype::WVarChar},
           {"stamp", db::sqltype::Timestamp, 3}};
    const Rows rows = {{"1", "2", "x", "y", "3", "\u00F1", "2009-12-07 15:04:05.1234567"}};
    InsertStatementBuilder builder;

    db::ServerInfo sqlServer{QStringLiteral("Microsoft SQL Server"), QStringLiteral("\"")};
    builder.setServer(sqlServer);
    auto first = db::ResultSet::fromRows(fields, rows);
    EXPECT_EQ(statementsOf(first, "t", ScriptKind::Sql, builder),
              std::vector<std::string>{"INSERT INTO t (id,[order],[my col],[it's],[[br]]],[\u00F1ame],stamp) "
                                       "VALUES(1,2,N'x','y',3,N'\u00F1','2009-12-07T15:04:05.123')"});

    db::ServerInfo other{QStringLiteral("PostgreSQL"), QStringLiteral("\"")};
    builder.setServer(other);
    auto second = db::ResultSet::fromRows(fields, rows);
    EXPECT_EQ(statementsOf(second, "t", ScriptKind::Kx, builder),
              std::vector<std::string>{"<INSERT INTO t (id,\"order\",\"my col\",\"it's\",\"[br]\",\"\u00F1ame\",stamp) "
                                       "VALUES(1,2,N'x','y',3,N'\u00F1','2009-12-07T15:04:05.123')>"});
}

TEST(InsertStatementBuilder, AQueryWithoutColumnsIsRefused)
{
    auto set = db::ResultSet::fromRows({}, {{}});
    InsertStatementBuilder builder;
    EXPECT_THROW(builder.beginQuery("t", ScriptKind::Sql, set), AppError);
}
