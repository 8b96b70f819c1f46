#include "generate/SqlValueText.h"
#include "basics/AppError.h"
#include "db/SqlTypes.h"
#include "generate/ValueCategory.h"

#include <gtest/gtest.h>

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

TEST(ValueCategory, TypeCodesSelectTheCategories)
{
    for (int type :
         {db::sqltype::SmallInt, db::sqltype::Integer, db::sqltype::BigInt, db::sqltype::Numeric, db::sqltype::Decimal})
        EXPECT_EQ(valueCategoryOf(type), ValueCategory::Number) << type;
    for (int type : {db::sqltype::TinyInt, db::sqltype::Real, db::sqltype::Float, db::sqltype::Double})
        EXPECT_EQ(valueCategoryOf(type), ValueCategory::QuotedNumber) << type;
    EXPECT_EQ(valueCategoryOf(db::sqltype::Bit), ValueCategory::Boolean);
    EXPECT_EQ(valueCategoryOf(db::sqltype::Timestamp), ValueCategory::Timestamp);
    EXPECT_EQ(valueCategoryOf(db::sqltype::LegacyTimestamp), ValueCategory::Timestamp);
    for (int type : {db::sqltype::Binary, db::sqltype::VarBinary, db::sqltype::LongVarBinary})
        EXPECT_EQ(valueCategoryOf(type), ValueCategory::Binary) << type;
    for (int type : {db::sqltype::Char, db::sqltype::VarChar, db::sqltype::LongVarChar})
        EXPECT_EQ(valueCategoryOf(type), ValueCategory::Text) << type;
    for (int type : {db::sqltype::WChar, db::sqltype::WVarChar, db::sqltype::WLongVarChar})
        EXPECT_EQ(valueCategoryOf(type), ValueCategory::NationalText) << type;
    for (int type :
         {db::sqltype::Guid, db::sqltype::Date, db::sqltype::Time, -150 /* sql_variant */, -155 /* datetimeoffset */})
        EXPECT_EQ(valueCategoryOf(type), ValueCategory::Other) << type;
}

TEST(SqlValueText, NumbersKeepEveryDigitAndNullIsZero)
{
    EXPECT_EQ(sqlValue(ValueCategory::Number, "5"), "5");
    EXPECT_EQ(sqlValue(ValueCategory::Number, "-7"), "-7");
    EXPECT_EQ(sqlValue(ValueCategory::Number, "12.500"), "12.500");
    EXPECT_EQ(sqlValue(ValueCategory::Number, "12345678901234567890.123456789"), "12345678901234567890.123456789");
    EXPECT_EQ(sqlValue(ValueCategory::Number, ".5"), ".5");
    EXPECT_EQ(sqlValue(ValueCategory::Number, "1e+20"), "1e+20");
    EXPECT_EQ(sqlValue(ValueCategory::Number, std::nullopt), "0");
    // A numeric NaN would break the statement unquoted; it goes in as text instead.
    EXPECT_EQ(sqlValue(ValueCategory::Number, "NaN"), "'NaN'");
    // A decimal comma is no plain number: never silently read as a grouping.
    EXPECT_EQ(sqlValue(ValueCategory::Number, "1,5"), "'1,5'");
    EXPECT_EQ(sqlValue(ValueCategory::Number, "1,87"), "'1,87'");
}

TEST(SqlValueText, MoneyAndGroupedNumbersBecomePlainNumbers)
{
    EXPECT_EQ(sqlValue(ValueCategory::Number, "$1,234.50"), "1234.50");
    EXPECT_EQ(sqlValue(ValueCategory::Number, "-$1,234,567.00"), "-1234567.00");
    EXPECT_EQ(sqlValue(ValueCategory::Number, "$-3.00"), "-3.00");
    EXPECT_EQ(sqlValue(ValueCategory::Number, "($3.00)"), "-3.00");
    EXPECT_EQ(sqlValue(ValueCategory::Number, "+5"), "5");
    EXPECT_EQ(sqlValue(ValueCategory::Number, "\u20AC 12.5"), "12.5");
    EXPECT_EQ(sqlValue(ValueCategory::QuotedNumber, "$12.34"), "'12.34'");
    EXPECT_EQ(sqlValue(ValueCategory::QuotedNumber, "$0.00"), "'0.00'");
    EXPECT_EQ(sqlValue(ValueCategory::QuotedNumber, "0.1"), "'0.1'");
    EXPECT_EQ(sqlValue(ValueCategory::QuotedNumber, "-2.5e-07"), "'-2.5e-07'");
    EXPECT_EQ(sqlValue(ValueCategory::QuotedNumber, std::nullopt), "0");
    // Grouping must be real grouping; anything else stays whole as text.
    for (const char* odd : {"1,23.5", "12,3456", ",123", "1,234,", "$", "--5", "5-", "1 234", "Infinity", "1e"})
        EXPECT_EQ(sqlValue(ValueCategory::QuotedNumber, odd), "'" + std::string(odd) + "'") << odd;
}

TEST(SqlValueText, BooleansAreOneOrZero)
{
    for (const char* yes : {"1", "-1", "true", "True", "TRUE", "t", "T"})
        EXPECT_EQ(sqlValue(ValueCategory::Boolean, yes), "1") << yes;
    for (const char* no : {"0", "false", "False", "f", "", "yes?"})
        EXPECT_EQ(sqlValue(ValueCategory::Boolean, no), "0") << no;
    EXPECT_EQ(sqlValue(ValueCategory::Boolean, std::nullopt), "0");
}

TEST(SqlValueText, TimestampsInTheLanguageNeutralFormWithTheirFraction)
{
    EXPECT_EQ(sqlValue(ValueCategory::Timestamp, "2009-12-07 15:04:05"), "'2009-12-07T15:04:05'");
    EXPECT_EQ(sqlValue(ValueCategory::Timestamp, "2009-12-07 00:00:00"), "'2009-12-07T00:00:00'");
    EXPECT_EQ(sqlValue(ValueCategory::Timestamp, "2009-12-07 23:01:02"), "'2009-12-07T23:01:02'");
    EXPECT_EQ(sqlValue(ValueCategory::Timestamp, "0099-01-02 01:02:03"), "'0099-01-02T01:02:03'");
    EXPECT_EQ(sqlValue(ValueCategory::Timestamp, "2009-12-07"), "'2009-12-07T00:00:00'");
    EXPECT_EQ(sqlValue(ValueCategory::Timestamp, "2009-12-07T15:04:05"), "'2009-12-07T15:04:05'");
    // The fraction: trailing zeros dropped, nothing written when it is zero.
    EXPECT_EQ(sqlValue(ValueCategory::Timestamp, "2009-12-07 15:04:05.123"), "'2009-12-07T15:04:05.123'");
    EXPECT_EQ(sqlValue(ValueCategory::Timestamp, "2009-12-07 15:04:05.120"), "'2009-12-07T15:04:05.12'");
    EXPECT_EQ(sqlValue(ValueCategory::Timestamp, "2009-12-07 15:04:05.000"), "'2009-12-07T15:04:05'");
    EXPECT_EQ(sqlValue(ValueCategory::Timestamp, "2009-12-07 00:59:59.9999999"), "'2009-12-07T00:59:59.9999999'");
    EXPECT_EQ(sqlValue(ValueCategory::Timestamp, std::nullopt), "NULL");
    // Text that is no plain timestamp stays whole, as quoted text.
    EXPECT_EQ(sqlValue(ValueCategory::Timestamp, "infinity"), "'infinity'");
    EXPECT_EQ(sqlValue(ValueCategory::Timestamp, "2009-12-07 15:04:05+02"), "'2009-12-07 15:04:05+02'");
    EXPECT_EQ(sqlValue(ValueCategory::Timestamp, "2009-13-07 15:04:05"), "'2009-13-07 15:04:05'");
}

TEST(SqlValueText, AFractionNeverHasMoreDigitsThanTheColumnDeclares)
{
    const auto stamp = [](std::string_view value, int digits) {
        std::string out;
        appendSqlValue(out, ValueCategory::Timestamp, false, value, digits);
        return out;
    };
    EXPECT_EQ(stamp("2009-12-07 15:04:05.1234567", 3), "'2009-12-07T15:04:05.123'"); // datetime
    EXPECT_EQ(stamp("2009-12-07 15:04:05.1234567", 7), "'2009-12-07T15:04:05.1234567'");
    EXPECT_EQ(stamp("2009-12-07 15:04:00.000", 0), "'2009-12-07T15:04:00'"); // smalldatetime
    EXPECT_EQ(stamp("2009-12-07 15:04:05.5", 0), "'2009-12-07T15:04:05'");
    EXPECT_EQ(stamp("2009-12-07 15:04:05.100", 3), "'2009-12-07T15:04:05.1'");
    EXPECT_EQ(stamp("2009-12-07 15:04:05.123456", 6), "'2009-12-07T15:04:05.123456'");
}

TEST(SqlValueText, NullOfTypesWithoutAStandInStaysNull)
{
    EXPECT_EQ(sqlValue(ValueCategory::Other, std::nullopt), "NULL");
    EXPECT_EQ(sqlValue(ValueCategory::Other, "6f9619ff-8b86-d011-b42d-00c04fc964ff"),
              "'6f9619ff-8b86-d011-b42d-00c04fc964ff'");
    EXPECT_EQ(sqlValue(ValueCategory::Other, "2026-02-01"), "'2026-02-01'");
    EXPECT_EQ(sqlValue(ValueCategory::Other, "it's"), "'it''s'");
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

TEST(SqlValueText, NationalTextCarriesTheNPrefix)
{
    EXPECT_EQ(sqlValue(ValueCategory::NationalText, "it's"), "N'it''s'");
    EXPECT_EQ(sqlValue(ValueCategory::NationalText, "\u0E20\u0E32\u0E29\u0E32\u0E44\u0E17\u0E22 \U0001F600"),
              "N'\u0E20\u0E32\u0E29\u0E32\u0E44\u0E17\u0E22 \U0001F600'");
    EXPECT_EQ(sqlValue(ValueCategory::NationalText, ""), "N''");
    EXPECT_EQ(sqlValue(ValueCategory::NationalText, std::nullopt), "''");
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
