#include "db/DbError.h"

#include <gtest/gtest.h>

using namespace zobran;
using namespace zobran::db;

TEST(DbError, CarriesTheDriversNativeNumberAndEveryRecord)
{
    const DbError error({{"23000", 2627, "Violation of PRIMARY KEY constraint 'pk_item'."},
                         {"01000", 3621, "The statement has been terminated."}});
    EXPECT_EQ(error.number(), 2627);
    EXPECT_EQ(error.sqlState(), "23000");
    EXPECT_EQ(error.description(),
              "23000: Violation of PRIMARY KEY constraint 'pk_item'.\n"
              "01000: The statement has been terminated.");
    EXPECT_EQ(error.records().size(), 2);
}

TEST(DbError, WithoutANativeNumberItIsTheProvidersGeneralFailure)
{
    const DbError noNumber({{"08001", 0, "could not connect to server"}});
    EXPECT_EQ(noNumber.number(), -2147467259);
    EXPECT_EQ(noNumber.description(), "08001: could not connect to server");

    // No record at all: the failing call tells what happened.
    const DbError noRecord({}, "SQLDriverConnect failed (return code -1).");
    EXPECT_EQ(noRecord.number(), -2147467259);
    EXPECT_EQ(noRecord.sqlState(), "");
    EXPECT_EQ(noRecord.description(), "HY000: SQLDriverConnect failed (return code -1).");
}
