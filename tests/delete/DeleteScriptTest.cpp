#include "delete/DeleteScript.h"

#include <gtest/gtest.h>

using namespace zobran;

TEST(DeleteScriptTest, StatementsNameTheTableAndLoadingFindsItAgain)
{
    const db::ServerInfo sqlServer{QStringLiteral("Microsoft SQL Server"), QStringLiteral("\"")};
    EXPECT_EQ(deleteStatement("qinv_mt_plu", sqlServer), "Delete from qinv_mt_plu");
    EXPECT_EQ(deleteStatement("Order Lines]", sqlServer), "Delete from [Order Lines]]]");

    const QStringList lines{"Delete from qinv_mt_plu",
                            "Delete from [Order Lines]]]",
                            "Delete from \"x y\"",
                            "delete from lower_case",
                            "Delete from  two_blanks",
                            "Update t set a = 1",
                            ""};
    EXPECT_EQ(tablesDeletedBy(lines), (QSet<QString>{"qinv_mt_plu", "Order Lines]", "x y", " two_blanks"}));
}

TEST(DeleteScriptTest, TheGeneratedNameCarriesDateAndTwentyFourHourTime)
{
    EXPECT_EQ(generatedDeleteScriptName(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9))), "SQL-20261207-140509");
    EXPECT_EQ(generatedDeleteScriptName(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))), "SQL-20260102-030405");
}
