#include "db/SqlNames.h"
#include "db/CatalogQueries.h"

#include <gtest/gtest.h>

using namespace zobran::db;

namespace {

const ServerInfo SqlServer{QStringLiteral("Microsoft SQL Server"), QStringLiteral("\"")};
const ServerInfo Postgres{QStringLiteral("PostgreSQL"), QStringLiteral("\"")};
const ServerInfo Backticks{QStringLiteral("Some Server"), QStringLiteral("`")};
const ServerInfo NoQuote{QStringLiteral("Some Server"), QStringLiteral(" ")};

} // namespace

TEST(SqlNames, RegularIdentifiersAreAsciiNamesThatAreNoReservedWord)
{
    for (const char* regular : {"id", "qinv_mt_item", "_x", "a1", "Item$Code", "x@y", "n#", "ORDERS", "selected"})
        EXPECT_TRUE(isRegularIdentifier(QString::fromUtf8(regular))) << regular;
    for (const char* irregular : {"",
                                  "my col",
                                  "it's",
                                  "[br]",
                                  "a]b",
                                  "\"q\"",
                                  "1abc",
                                  "@local",
                                  "#temp",
                                  "$x",
                                  "\xC3\xB1"
                                  "ame",
                                  "a-b",
                                  "a.b",
                                  "tab\t",
                                  "order",
                                  "ORDER",
                                  "Select",
                                  "from",
                                  "user",
                                  "identity_insert",
                                  "within",
                                  "try_convert",
                                  "q';create table pwned(i int);--"})
        EXPECT_FALSE(isRegularIdentifier(QString::fromUtf8(irregular))) << irregular;
    EXPECT_TRUE(isRegularIdentifier(QString(128, QLatin1Char('a'))));
    EXPECT_FALSE(isRegularIdentifier(QString(129, QLatin1Char('a'))));
}

TEST(SqlNames, SqlServerQuotesWithBracketsAndDoublesTheClosingOne)
{
    EXPECT_EQ(quotedName("id", SqlServer), "id");
    EXPECT_EQ(quotedName("order", SqlServer), "[order]");
    EXPECT_EQ(quotedName("my col", SqlServer), "[my col]");
    EXPECT_EQ(quotedName("it's", SqlServer), "[it's]");
    EXPECT_EQ(quotedName("[br]", SqlServer), "[[br]]]");
    EXPECT_EQ(quotedName("a\"b", SqlServer), "[a\"b]");
    EXPECT_EQ(quotedName(QString::fromUtf8("\xC3\xB1"
                                           "ame"),
                         SqlServer),
              QString::fromUtf8("[\xC3\xB1"
                                "ame]"));
    EXPECT_EQ(quotedName("", SqlServer), "[]");
}

TEST(SqlNames, OtherServersQuoteWithTheDriversQuoteOrBracketsWhenItHasNone)
{
    EXPECT_EQ(quotedName("id", Postgres), "id");
    EXPECT_EQ(quotedName("order", Postgres), "\"order\"");
    EXPECT_EQ(quotedName("[br]", Postgres), "\"[br]\"");
    EXPECT_EQ(quotedName("say \"hi\"", Postgres), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(quotedName("a`b", Backticks), "`a``b`");
    EXPECT_EQ(quotedName("my col", NoQuote), "[my col]");
    EXPECT_EQ(quotedName("my col", ServerInfo{}), "[my col]");
}

TEST(SqlNames, UnquotingGivesTheNameBack)
{
    for (const char* name : {"order", "my col", "it's", "[br]", "a]]b", "\"x\"", "say \"hi\"", "", "q';drop--"}) {
        const QString original = QString::fromUtf8(name);
        for (const ServerInfo& server : {SqlServer, Postgres, Backticks, NoQuote})
            EXPECT_EQ(unquotedName(quotedName(original, server)), original) << name;
    }
    EXPECT_EQ(unquotedName("`a``b`"), "a`b");
    EXPECT_EQ(unquotedName("[x]]y]"), "x]y");
    EXPECT_EQ(unquotedName("\"x\"\"y\""), "x\"y");
    // Bare text, and text that is not one whole quoted name, stays as it is.
    for (const char* text : {"plain", "[a]b]", "[a] [b]", "\"a\"b\"", "[open", "close]", "\"", "[", "dbo.[t]"})
        EXPECT_EQ(unquotedName(QString::fromUtf8(text)), QString::fromUtf8(text)) << text;
}

TEST(CatalogQueries, AnyTableNameStaysALiteralInTheFieldQuery)
{
    EXPECT_EQ(fieldListQuery("qinv_mt_item"),
              "Select A.name From dbo.syscolumns As A Inner Join dbo.sysobjects As B ON A.ID=B.ID "
              "Where B.name = N'qinv_mt_item'");
    EXPECT_EQ(fieldListQuery("q';create table pwned(i int);--"),
              "Select A.name From dbo.syscolumns As A Inner Join dbo.sysobjects As B ON A.ID=B.ID "
              "Where B.name = N'q'';create table pwned(i int);--'");
    EXPECT_TRUE(fieldListQuery("''").endsWith("N''''''"));
}
