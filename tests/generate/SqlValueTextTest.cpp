#include "basics/AppError.h"
#include "generate/SqlValueText.h"
#include "generate/ValueCategory.h"

#include <gtest/gtest.h>

#include <sql.h>
#include <sqlext.h>

#include <optional>

using namespace zobran;

namespace {

std::string sqlValue(ValueCategory category, std::optional<std::string_view> value)
{
    std::string out = "prefix,";
    appendSqlValue(out, category, !value.has_value(), value.value_or(std::string_view()));
    EXPECT_EQ(out.substr(0, 7), "prefix,") << "a value must be appended, not replace the buffer";
    return out.substr(7);
}

} // namespace

TEST(ValueCategory, TypeCodesSelectTheFiveCategories)
{
    for (int type : {SQL_SMALLINT, SQL_INTEGER, SQL_BIGINT, SQL_NUMERIC, SQL_DECIMAL})
        EXPECT_EQ(valueCategoryOf(type), ValueCategory::Number) << type;
    EXPECT_EQ(valueCategoryOf(SQL_BIT), ValueCategory::Boolean);
    EXPECT_EQ(valueCategoryOf(SQL_TYPE_TIMESTAMP), ValueCategory::Date);
    EXPECT_EQ(valueCategoryOf(SQL_TIMESTAMP), ValueCategory::Date);
    for (int type : {SQL_BINARY, SQL_VARBINARY, SQL_LONGVARBINARY})
        EXPECT_EQ(valueCategoryOf(type), ValueCategory::Binary) << type;
    for (int type : {SQL_VARCHAR, SQL_WVARCHAR, SQL_WLONGVARCHAR, SQL_CHAR, SQL_REAL, SQL_DOUBLE, SQL_FLOAT,
                     SQL_GUID, SQL_TINYINT, SQL_TYPE_DATE, SQL_TYPE_TIME})
        EXPECT_EQ(valueCategoryOf(type), ValueCategory::Text) << type;
}

TEST(SqlValueText, NumbersKeepEveryDigitAndNullIsZero)
{
    EXPECT_EQ(sqlValue(ValueCategory::Number, "5"), "5");
    EXPECT_EQ(sqlValue(ValueCategory::Number, "-7"), "-7");
    EXPECT_EQ(sqlValue(ValueCategory::Number, "12.500"), "12.500");
    EXPECT_EQ(sqlValue(ValueCategory::Number, "12345678901234567890.123456789"), "12345678901234567890.123456789");
    EXPECT_EQ(sqlValue(ValueCategory::Number, std::nullopt), "0");
    // A numeric NaN would break the statement unquoted; it goes in as text instead.
    EXPECT_EQ(sqlValue(ValueCategory::Number, "NaN"), "'NaN'");
    EXPECT_EQ(sqlValue(ValueCategory::Number, "1,5"), "'1,5'");
}

TEST(SqlValueText, BooleansAreOneOrZero)
{
    for (const char* yes : {"1", "-1", "true", "True", "TRUE", "t", "T"})
        EXPECT_EQ(sqlValue(ValueCategory::Boolean, yes), "1") << yes;
    for (const char* no : {"0", "false", "False", "f", "", "yes?"})
        EXPECT_EQ(sqlValue(ValueCategory::Boolean, no), "0") << no;
    EXPECT_EQ(sqlValue(ValueCategory::Boolean, std::nullopt), "0");
}

TEST(SqlValueText, TimestampsOnTheTwelveHourClock)
{
    EXPECT_EQ(sqlValue(ValueCategory::Date, "2009-12-07 15:04:05"), "'2009-12-07 03:04:05 PM'");
    EXPECT_EQ(sqlValue(ValueCategory::Date, "2009-12-07 15:04:05.123"), "'2009-12-07 03:04:05 PM'");
    EXPECT_EQ(sqlValue(ValueCategory::Date, "2009-12-07 00:00:00"), "'2009-12-07 12:00:00 AM'");
    EXPECT_EQ(sqlValue(ValueCategory::Date, "2009-12-07 00:59:59.9999999"), "'2009-12-07 12:59:59 AM'");
    EXPECT_EQ(sqlValue(ValueCategory::Date, "2009-12-07 12:00:00"), "'2009-12-07 12:00:00 PM'");
    EXPECT_EQ(sqlValue(ValueCategory::Date, "2009-12-07 11:59:59"), "'2009-12-07 11:59:59 AM'");
    EXPECT_EQ(sqlValue(ValueCategory::Date, "2009-12-07 23:01:02"), "'2009-12-07 11:01:02 PM'");
    EXPECT_EQ(sqlValue(ValueCategory::Date, "0099-01-02 01:02:03"), "'0099-01-02 01:02:03 AM'");
    EXPECT_EQ(sqlValue(ValueCategory::Date, "2009-12-07"), "'2009-12-07 12:00:00 AM'");
    EXPECT_EQ(sqlValue(ValueCategory::Date, std::nullopt), "''");
    // Text that is no plain timestamp stays whole, as quoted text.
    EXPECT_EQ(sqlValue(ValueCategory::Date, "infinity"), "'infinity'");
    EXPECT_EQ(sqlValue(ValueCategory::Date, "2009-12-07 15:04:05+02"), "'2009-12-07 15:04:05+02'");
    EXPECT_EQ(sqlValue(ValueCategory::Date, "2009-13-07 15:04:05"), "'2009-13-07 15:04:05'");
}

TEST(SqlValueText, TextIsQuotedWithApostrophesDoubledAndNothingElseChanged)
{
    EXPECT_EQ(sqlValue(ValueCategory::Text, "it's"), "'it''s'");
    EXPECT_EQ(sqlValue(ValueCategory::Text, "''"), "''''''");
    EXPECT_EQ(sqlValue(ValueCategory::Text, "'a'b'"), "'''a''b'''");
    EXPECT_EQ(sqlValue(ValueCategory::Text, "<a,b>\r\n\"x\" \\ ümlaut €"), "'<a,b>\r\n\"x\" \\ ümlaut €'");
    EXPECT_EQ(sqlValue(ValueCategory::Text, ""), "''");
    EXPECT_EQ(sqlValue(ValueCategory::Text, std::nullopt), "''");
    EXPECT_EQ(sqlValue(ValueCategory::Text, "$12.34"), "'$12.34'");
    const std::string withNul("a\0b", 3);
    EXPECT_EQ(sqlValue(ValueCategory::Text, withNul), "'" + withNul + "'");
}

TEST(SqlValueText, BinaryIsUpperCaseHexAfter0x)
{
    EXPECT_EQ(sqlValue(ValueCategory::Binary, "00ff10ab"), "0x00FF10AB");
    EXPECT_EQ(sqlValue(ValueCategory::Binary, "0xdeadBEEF"), "0xDEADBEEF");
    EXPECT_EQ(sqlValue(ValueCategory::Binary, "\\x0a0b"), "0x0A0B");
    EXPECT_EQ(sqlValue(ValueCategory::Binary, ""), "0x");
    EXPECT_EQ(sqlValue(ValueCategory::Binary, std::nullopt), "0x");
    std::string out;
    EXPECT_THROW(appendSqlValue(out, ValueCategory::Binary, false, "12zz"), AppError);
}
