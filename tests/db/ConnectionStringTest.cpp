#include "db/ConnectionString.h"

#include <gtest/gtest.h>

using namespace zobran::db;

TEST(ConnectionString, OdbcFormIsByteForByteTheRecordedOne)
{
    EXPECT_EQ(odbcConnectionString("SQL Server", "SRV1", "SHOP", "sa", ""),
              "Driver={SQL Server};Server=SRV1;Database=SHOP;Uid=sa;Pwd=");
    EXPECT_EQ(odbcConnectionString("SQL Server", "host,1433", "shop_hq", "zobran", "demo2009"),
              "Driver={SQL Server};Server=host,1433;Database=shop_hq;Uid=zobran;Pwd=demo2009");
    EXPECT_EQ(odbcConnectionString("SQL Server", "host\\inst", "a b", "u", "p w"),
              "Driver={SQL Server};Server=host\\inst;Database=a b;Uid=u;Pwd=p w");
}

TEST(ConnectionString, ValuesThatCouldBreakTheStringAreBraced)
{
    EXPECT_EQ(odbcValue("pa;ss"), "{pa;ss}");
    EXPECT_EQ(odbcValue("p}w"), "{p}}w}");
    EXPECT_EQ(odbcValue("{x"), "{{x}");
    EXPECT_EQ(odbcValue(" lead"), "{ lead}");
    EXPECT_EQ(odbcValue("trail "), "{trail }");
    EXPECT_EQ(odbcValue(""), "");
    EXPECT_EQ(odbcValue("plain-value_1"), "plain-value_1");

    // A password cannot add an item of its own to the string.
    EXPECT_EQ(odbcConnectionString("SQL Server", "s", "d", "u", "x;Database=master"),
              "Driver={SQL Server};Server=s;Database=d;Uid=u;Pwd={x;Database=master}");
    EXPECT_EQ(odbcConnectionString("Odd}Driver", "s", "d", "u", "p"),
              "Driver={Odd}}Driver};Server=s;Database=d;Uid=u;Pwd=p");
}

TEST(ConnectionString, ImportFormsAreTheRecordedOnesAndMapOntoTheSqlServerDriver)
{
    EXPECT_EQ(
        oledbConnectionString("pw", "sa", "SHOP", "SRV1"),
        "Provider=SQLOLEDB.1;Password=pw;Persist Security Info=True;User ID=sa;Initial Catalog=SHOP;Data Source=SRV1");
    EXPECT_EQ(oledbServerConnectionString("", "sa", "SRV1"),
              "Provider=SQLOLEDB.1;Password=;Persist Security Info=True;User ID=sa;Data Source=SRV1");
    EXPECT_EQ(importConnectionString("SRV1", "SHOP", "sa", "pw"),
              "Driver={SQL Server};Server=SRV1;Database=SHOP;Uid=sa;Pwd=pw");
    EXPECT_EQ(importServerConnectionString("SRV1", "sa", "a;b"), "Driver={SQL Server};Server=SRV1;Uid=sa;Pwd={a;b}");
}
