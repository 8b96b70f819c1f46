#include "db/FloatText.h"

#include <gtest/gtest.h>

using namespace zobran;

TEST(FloatText, ShortestTextThatReadsBack)
{
    EXPECT_EQ(shortestFloatText("12.50", false), "12.5");
    EXPECT_EQ(shortestFloatText("0.1000000000000000055511151231257827", false), "0.1");
    EXPECT_EQ(shortestFloatText("0.100000001", true), "0.1");
    EXPECT_EQ(shortestFloatText("0.100000001", false), "0.100000001");
    EXPECT_EQ(shortestFloatText("-3", false), "-3");
    EXPECT_EQ(shortestFloatText("1.7976931348623157e308", false), "1.7976931348623157e+308");
    EXPECT_EQ(shortestFloatText("123456789012", false), "123456789012");
    for (const char* kept : {"$12.34", "NaN", "nan", "Infinity", "-Infinity", "inf", "", " 1", "+1", "1x", "1e999"})
        EXPECT_EQ(shortestFloatText(kept, false), kept) << kept;
    std::string out = "v=";
    appendShortestFloatText(out, "2.50", true);
    EXPECT_EQ(out, "v=2.5");
    out = "v=12.50";
    shortenFloatTextFrom(out, 2, false);
    EXPECT_EQ(out, "v=12.5");
    out = "v=$12.50";
    shortenFloatTextFrom(out, 2, false);
    EXPECT_EQ(out, "v=$12.50");
}
