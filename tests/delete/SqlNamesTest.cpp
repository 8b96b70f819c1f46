#include "db/SqlNames.h"

#include <gtest/gtest.h>

using namespace zobran::db;

namespace {

const ServerInfo SqlServer{QStringLiteral("Microsoft SQL Server"), QStringLiteral("\"")};
const ServerInfo Postgres{QStringLiteral("PostgreSQL"), QStringLiteral("\"")};
const ServerInfo NoQuote{QStringLiteral("SomeBase"), QStringLiteral(" ")};

} // namespace

TEST(SqlNamesTest, RegularIdentifiersFollowSqlServersRules)
{
    for (const char* name : {"qinv_mt_item", "Orders2", "_x", "@p", "#temp", "a$b#c@d_9", "Café", "表"})
        EXPECT_TRUE(isRegularIdentifier(QString::fromUtf8(name))) << name;
    for (const char* name : {"", "2items", "$x", "my table", "a-b", "it's", "a.b", "[x]", "na]me", "x\"y", "tab\tx"})
        EXPECT_FALSE(isRegularIdentifier(QString::fromUtf8(name))) << name;
    // Reserved words in any case, but not names that merely contain one.
    for (const char* name : {"order", "ORDER", "Select", "user", "Percent", "try_convert", "semanticsimilaritytable"})
        EXPECT_FALSE(isRegularIdentifier(QString::fromUtf8(name))) << name;
    for (const char* name : {"orders", "selected", "users", "within", "name", "date"})
        EXPECT_TRUE(isRegularIdentifier(QString::fromUtf8(name))) << name;
}

TEST(SqlNamesTest, OnlyIrregularNamesAreQuotedInTheServersStyle)
{
    EXPECT_EQ(quotedName("qinv_mt_item", SqlServer), "qinv_mt_item");
    EXPECT_EQ(quotedName("qinv_mt_item", Postgres), "qinv_mt_item");
    EXPECT_EQ(quotedName("my table", SqlServer), "[my table]");
    EXPECT_EQ(quotedName("na]me", SqlServer), "[na]]me]");
    EXPECT_EQ(quotedName("a\"b", SqlServer), "[a\"b]");
    EXPECT_EQ(quotedName("Order", Postgres), "\"Order\"");
    EXPECT_EQ(quotedName("a\"b]c", Postgres), "\"a\"\"b]c\"");
    EXPECT_EQ(quotedName("x y", NoQuote), "[x y]");
    EXPECT_EQ(quotedName("x y", ServerInfo{}), "[x y]");
}

TEST(SqlNamesTest, UnquotingGivesEveryNameBack)
{
    for (const char* name : {"plain", "my table", "na]me", "]]", "a\"b", "[x]", "\"q\"", "`t`", "order", "", "é ü"}) {
        const QString original = QString::fromUtf8(name);
        for (const ServerInfo& server : {SqlServer, Postgres, NoQuote})
            EXPECT_EQ(unquotedName(quotedName(original, server)), original) << name << ' ' << server.dbmsName.toStdString();
    }
    EXPECT_EQ(unquotedName("`a``b`"), "a`b");
    // Text that is not a whole quoted name stays as it is.
    for (const char* text : {"[a]b]", "[ab", "\"a\"b\"", "[]x", "\"", "[", "a]"})
        EXPECT_EQ(unquotedName(QString::fromUtf8(text)), QString::fromUtf8(text)) << text;
}
