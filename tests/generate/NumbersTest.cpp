#include "generate/LeadingNumber.h"
#include "generate/RecordCounter.h"
#include "generate/ScriptGenerator.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zobran;

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfTheText)
{
    EXPECT_EQ(leadingNumber(u"100"), 100.0);
    EXPECT_EQ(leadingNumber(u"12abc"), 12.0);
    EXPECT_EQ(leadingNumber(u"  -2.5e1x"), -25.0);
    EXPECT_EQ(leadingNumber(u"+7"), 7.0);
    EXPECT_EQ(leadingNumber(u".5"), 0.5);
    EXPECT_EQ(leadingNumber(u"3."), 3.0);
    EXPECT_EQ(leadingNumber(u"1e"), 1.0);
    EXPECT_EQ(leadingNumber(u"1e+"), 1.0);
    EXPECT_EQ(leadingNumber(u"1E3"), 1000.0);
    EXPECT_EQ(leadingNumber(u"1,5"), 1.0);
    for (const char16_t* zero : {u"", u"abc", u"-", u".", u"e5", u"  ", u"x12"})
        EXPECT_EQ(leadingNumber(zero), 0.0);
    EXPECT_TRUE(std::isinf(leadingNumber(u"1e999")));
    EXPECT_TRUE(std::isinf(leadingNumber(QString(400, QLatin1Char('9')))));
    EXPECT_EQ(leadingNumber(u"1e-999"), 0.0);
}

TEST(LeadingNumber, RoundsHalvesToEven)
{
    EXPECT_EQ(roundHalfEven(2.5), 2.0);
    EXPECT_EQ(roundHalfEven(3.5), 4.0);
    EXPECT_EQ(roundHalfEven(-2.5), -2.0);
    EXPECT_EQ(roundHalfEven(-3.5), -4.0);
    EXPECT_EQ(roundHalfEven(2.4999), 2.0);
    EXPECT_EQ(roundHalfEven(2.5001), 3.0);
    EXPECT_EQ(roundHalfEven(0.5), 0.0);
    EXPECT_EQ(roundHalfEven(135.0), 135.0);
}

TEST(RecordsPerFile, LimitTextGivesTheSplitCount)
{
    EXPECT_EQ(recordsPerFile(u"100"), 100);
    EXPECT_EQ(recordsPerFile(u"12abc"), 12);
    EXPECT_EQ(recordsPerFile(u"2.5"), 2);
    EXPECT_EQ(recordsPerFile(u"3.5"), 4);
    EXPECT_EQ(recordsPerFile(u"0.4"), 0);
    EXPECT_EQ(recordsPerFile(u"abc"), 0);
    EXPECT_EQ(recordsPerFile(u""), 0);
    EXPECT_EQ(recordsPerFile(u"-5"), 5);
    EXPECT_EQ(recordsPerFile(u"1e300"), 0);
}

TEST(RecordCounter, TotalAndRecordsPerFile)
{
    RecordCountTexts texts = countRecords(QStringLiteral("2"), std::vector<long>{150, 120});
    EXPECT_EQ(texts.totalRecords, QStringLiteral("270"));
    EXPECT_EQ(texts.recordsPerFile, QStringLiteral("135"));
    EXPECT_EQ(texts.per, QStringLiteral("2"));

    texts = countRecords(QString(), std::vector<long>{150, 120});
    EXPECT_EQ(texts.per, QStringLiteral("1"));
    EXPECT_EQ(texts.recordsPerFile, QStringLiteral("270"));

    texts = countRecords(QStringLiteral("abc"), std::vector<long>{});
    EXPECT_EQ(texts.per, QStringLiteral("1"));
    EXPECT_EQ(texts.totalRecords, QStringLiteral("0"));
    EXPECT_EQ(texts.recordsPerFile, QStringLiteral("0"));

    EXPECT_EQ(countRecords(QStringLiteral("4"), std::vector<long>{270}).recordsPerFile, QStringLiteral("68")); // 67.5
    EXPECT_EQ(countRecords(QStringLiteral("4"), std::vector<long>{250}).recordsPerFile, QStringLiteral("62")); // 62.5
    EXPECT_EQ(countRecords(QStringLiteral("3 files"), std::vector<long>{10}).per, QStringLiteral("3 files"));
}
