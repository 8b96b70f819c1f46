#include "db/CellText.h"

#include <gtest/gtest.h>

#include <climits>

using namespace zobran;

namespace {

std::string timestampText(const TimestampParts& t)
{
    std::string out = "v=";
    appendTimestampText(out, t);
    return out;
}

} // namespace

TEST(CellText, NumbersAndBitsAsTheDriverWritesThem)
{
    const std::pair<std::int64_t, const char*> integers[]
        = {{0, "0"}, {-7, "-7"}, {42, "42"}, {LLONG_MIN, "-9223372036854775808"}, {LLONG_MAX, "9223372036854775807"}};
    for (const auto& [value, text] : integers) {
        std::string out = "v=";
        appendIntegerText(out, value);
        EXPECT_EQ(out, std::string("v=") + text);
    }
    std::string bits;
    for (unsigned char bit : {0, 1, 255})
        appendBitText(bits, bit);
    EXPECT_EQ(bits, "011");
}

TEST(CellText, TimestampsWithTheFractionsTrailingZerosDropped)
{
    const std::pair<TimestampParts, const char*> cases[] = {
        {{2009, 12, 7, 15, 4, 5, 0}, "v=2009-12-07 15:04:05"},
        {{2009, 12, 7, 15, 4, 5, 120000000}, "v=2009-12-07 15:04:05.12"},
        {{2009, 12, 7, 15, 4, 5, 1}, "v=2009-12-07 15:04:05.000000001"},
        {{1, 1, 1, 0, 0, 0, 999999999}, "v=0001-01-01 00:00:00.999999999"},
        {{9999, 12, 31, 23, 59, 59, 500000000}, "v=9999-12-31 23:59:59.5"},
    };
    for (const auto& [parts, text] : cases)
        EXPECT_EQ(timestampText(parts), text);
}

TEST(CellText, ATimestampOutsideTheWrittenFormIsReadAsText)
{
    const std::array<CalendarDay, 3> around{{{2024, 2, 28}, {2024, 2, 29}, {2024, 3, 1}}};
    const std::pair<TimestampParts, bool> cases[] = {
        {{2009, 12, 7, 15, 4, 5, 0}, true},
        {{2009, 12, 7, 0, 0, 0, 0}, true},     // midnight of another day
        {{2024, 2, 29, 0, 0, 1, 0}, true},     // today, not midnight
        {{2024, 2, 29, 0, 0, 0, 0}, false},    // midnight today: what a driver gives for a value it could not read
        {{2024, 2, 28, 0, 0, 0, 0}, false},    // and yesterday
        {{2024, 3, 1, 0, 0, 0, 0}, false},     // and tomorrow
        {{2024, 2, 29, 0, 0, 0, 1}, true},     // a fraction past midnight
        {{0, 1, 1, 0, 0, 0, 0}, false},        // year 0
        {{-44, 3, 15, 12, 0, 0, 0}, false},    // before year 1
        {{10000, 1, 1, 12, 0, 0, 0}, false},   // after 9999
        {{2009, 13, 1, 12, 0, 0, 0}, false},   // month out of range
        {{2009, 12, 32, 12, 0, 0, 0}, false},  // day
        {{2009, 12, 7, 24, 0, 0, 0}, false},   // hour
        {{2009, 12, 7, 23, 60, 0, 0}, false},  // minute
        {{2009, 12, 7, 23, 59, 60, 0}, false}, // second
        {{2009, 12, 7, 23, 59, 59, 1000000000}, false}, // fraction
    };
    for (const auto& [parts, fits] : cases)
        EXPECT_EQ(timestampFormFits(parts, around), fits) << timestampText(parts);
}

TEST(CellText, TheDaysAroundTodayFollowEachOther)
{
    const std::array<CalendarDay, 3> days = daysAroundToday();
    for (const CalendarDay& d : days) {
        EXPECT_GE(d.year, 2000);
        EXPECT_TRUE(d.month >= 1 && d.month <= 12);
        EXPECT_TRUE(d.day >= 1 && d.day <= 31);
    }
    const auto key = [](const CalendarDay& d) { return d.year * 10000 + d.month * 100 + d.day; };
    EXPECT_LT(key(days[0]), key(days[1]));
    EXPECT_LT(key(days[1]), key(days[2]));
}
