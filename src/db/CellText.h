#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zobran {

// The text of a cell the driver gives as a number, written as the driver would write it (floating-
// point values: see FloatText.h). All of it appends to a row's UTF-8 bytes.

// Digits with a leading "-" for a negative value: "-7".
void appendIntegerText(std::string& out, std::int64_t value);

// "1" for any value but 0, "0" for 0.
void appendBitText(std::string& out, unsigned char value);

// A date and time value as the driver gives it in numbers.
struct TimestampParts {
    int year = 0;
    unsigned month = 0, day = 0, hour = 0, minute = 0, second = 0;
    std::uint32_t fraction = 0; // nanoseconds
};

// "yyyy-mm-dd hh:mm:ss", then "." and the fraction's digits without their trailing zeros when it
// has any: "2009-12-07 15:04:05.12".
void appendTimestampText(std::string& out, const TimestampParts& t);

struct CalendarDay {
    int year = 0, month = 0, day = 0;
};

// Yesterday, today and tomorrow by the local clock.
std::array<CalendarDay, 3> daysAroundToday();

// Whether the written form above stands for the value the server holds. Outside it: years before
// 1 or after 9999, which the server writes otherwise, parts out of their range, and midnight of a
// day around today, which a driver gives for a value it could not take apart. Such a value is
// read as text instead.
bool timestampFormFits(const TimestampParts& t, const std::array<CalendarDay, 3>& aroundToday);

} // namespace zobran
