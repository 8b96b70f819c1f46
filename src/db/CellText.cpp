#include "db/CellText.h"

#include <charconv>
#include <ctime>

namespace zobran {

namespace {

void appendDigits(std::string& out, unsigned value, int width)
{
    char digits[16];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0 || n < width);
    while (n > 0)
        out.push_back(digits[--n]);
}

} // namespace

void appendIntegerText(std::string& out, std::int64_t value)
{
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, written.ptr);
}

void appendBitText(std::string& out, unsigned char value)
{
    out.push_back(value != 0 ? '1' : '0');
}

void appendTimestampText(std::string& out, const TimestampParts& t)
{
    appendDigits(out, static_cast<unsigned>(t.year), 4);
    out.push_back('-');
    appendDigits(out, t.month, 2);
    out.push_back('-');
    appendDigits(out, t.day, 2);
    out.push_back(' ');
    appendDigits(out, t.hour, 2);
    out.push_back(':');
    appendDigits(out, t.minute, 2);
    out.push_back(':');
    appendDigits(out, t.second, 2);
    if (t.fraction != 0) {
        char nanos[9];
        unsigned value = t.fraction;
        for (int i = 8; i >= 0; --i, value /= 10)
            nanos[i] = static_cast<char>('0' + value % 10);
        int length = 9;
        while (nanos[length - 1] == '0')
            --length;
        out.push_back('.');
        out.append(nanos, static_cast<std::size_t>(length));
    }
}

std::array<CalendarDay, 3> daysAroundToday()
{
    std::array<CalendarDay, 3> days;
    const std::time_t now = std::time(nullptr);
    for (int i = 0; i < 3; ++i) {
        const std::time_t when = now + (i - 1) * 86400;
        std::tm local{};
        localtime_r(&when, &local);
        days[static_cast<std::size_t>(i)] = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
    }
    return days;
}

bool timestampFormFits(const TimestampParts& t, const std::array<CalendarDay, 3>& aroundToday)
{
    if (t.year < 1 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23
        || t.minute > 59 || t.second > 59 || t.fraction >= 1000000000u)
        return false;
    if (t.hour == 0 && t.minute == 0 && t.second == 0 && t.fraction == 0) {
        for (const CalendarDay& d : aroundToday)
            if (t.year == d.year && static_cast<int>(t.month) == d.month && static_cast<int>(t.day) == d.day)
                return false;
    }
    return true;
}

} // namespace zobran
