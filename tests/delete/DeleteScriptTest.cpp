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

TEST(DeleteScriptTest, TheFirstQuestionListsTheLinesThatAreNotPlainDeletesTenAtMost)
{
    for (const char* plain : {"Delete from qinv_mt_plu", "Delete from [Order Lines]]]", "Delete from \"x y\""})
        EXPECT_TRUE(isPlainDeleteStatement(plain)) << plain;
    for (const char* other : {"Delete from t where id = 1", "Delete from t; DROP TABLE u", "Delete from [a] b",
                              "Delete from select", "delete from t", "DROP TABLE t", "", "Delete from "})
        EXPECT_FALSE(isPlainDeleteStatement(other)) << other;

    const QString question = "Do you want to delete seleted item?";
    EXPECT_EQ(deleteRunQuestion({"Delete from a", "Delete from b"}), question);
    QStringList lines{"Delete from a", QString(300, 'x')};
    for (int i = 0; i < 12; ++i)
        lines << QString("DROP TABLE t%1").arg(i);
    const QString asked = deleteRunQuestion(lines);
    EXPECT_TRUE(asked.startsWith("These lines of the list are not \"Delete from\" and a table name; they run as they "
                                 "are:\n\nLine 2: "
                                 + QString(200, 'x') + "...\nLine 3: DROP TABLE t0\n"))
        << asked.toStdString();
    EXPECT_TRUE(asked.endsWith("\nLine 11: DROP TABLE t8\nand 3 more\n\n" + question)) << asked.toStdString();
}
