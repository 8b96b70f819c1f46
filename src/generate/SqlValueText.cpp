#include "generate/SqlValueText.h"

#include "basics/AppError.h"

#include <algorithm>
#include <cstring>

namespace zobran {

namespace {

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool equalsIgnoringCase(std::string_view text, std::string_view lowerWord)
{
    if (text.size() != lowerWord.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != lowerWord[i])
            return false;
    }
    return true;
}

bool isTrue(std::string_view value)
{
    return value == "1" || value == "-1" || equalsIgnoringCase(value, "t") || equalsIgnoringCase(value, "true");
}

// Sign, digits, optional "." and digits, optional exponent: what a numeric column's text holds.
bool isPlainNumber(std::string_view v)
{
    std::size_t i = 0;
    if (i < v.size() && (v[i] == '-' || v[i] == '+'))
        ++i;
    bool digits = false;
    while (i < v.size() && isDigit(v[i])) {
        ++i;
        digits = true;
    }
    if (i < v.size() && v[i] == '.') {
        ++i;
        while (i < v.size() && isDigit(v[i])) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return false;
    if (i < v.size() && (v[i] == 'e' || v[i] == 'E')) {
        ++i;
        if (i < v.size() && (v[i] == '-' || v[i] == '+'))
            ++i;
        const std::size_t exponentStart = i;
        while (i < v.size() && isDigit(v[i]))
            ++i;
        if (i == exponentStart)
            return false;
    }
    return i == v.size();
}

struct Timestamp {
    long year = 0;
    int month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Reads 1 to maxDigits digits at v[i]; false when there is none.
bool readNumber(std::string_view v, std::size_t& i, std::size_t maxDigits, long& number)
{
    const std::size_t start = i;
    number = 0;
    while (i < v.size() && isDigit(v[i]) && i - start < maxDigits) {
        number = number * 10 + (v[i] - '0');
        ++i;
    }
    return i > start;
}

bool expect(std::string_view v, std::size_t& i, char c)
{
    if (i < v.size() && v[i] == c) {
        ++i;
        return true;
    }
    return false;
}

// "yyyy-mm-dd", "yyyy-mm-dd hh:mm:ss" or "yyyy-mm-dd hh:mm:ss.fff" (also with "T" between).
bool parseTimestamp(std::string_view v, Timestamp& t)
{
    std::size_t i = 0;
    long month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!readNumber(v, i, 9, t.year) || !expect(v, i, '-') || !readNumber(v, i, 2, month) || !expect(v, i, '-')
        || !readNumber(v, i, 2, day))
        return false;
    if (i < v.size()) {
        if (v[i] != ' ' && v[i] != 'T')
            return false;
        ++i;
        if (!readNumber(v, i, 2, hour) || !expect(v, i, ':') || !readNumber(v, i, 2, minute) || !expect(v, i, ':')
            || !readNumber(v, i, 2, second))
            return false;
        if (expect(v, i, '.'))
            while (i < v.size() && isDigit(v[i]))
                ++i;
        if (i != v.size())
            return false;
    }
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59)
        return false;
    t.month = static_cast<int>(month);
    t.day = static_cast<int>(day);
    t.hour = static_cast<int>(hour);
    t.minute = static_cast<int>(minute);
    t.second = static_cast<int>(second);
    return true;
}

void appendTwoDigits(std::string& out, int n)
{
    out.push_back(static_cast<char>('0' + n / 10));
    out.push_back(static_cast<char>('0' + n % 10));
}

void appendTimestamp(std::string& out, const Timestamp& t)
{
    char year[16];
    int length = 0;
    for (long y = t.year; y > 0 || length < 4; y /= 10)
        year[length++] = static_cast<char>('0' + y % 10);
    out.push_back('\'');
    while (length > 0)
        out.push_back(year[--length]);
    out.push_back('-');
    appendTwoDigits(out, t.month);
    out.push_back('-');
    appendTwoDigits(out, t.day);
    out.push_back(' ');
    const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    appendTwoDigits(out, hour12);
    out.push_back(':');
    appendTwoDigits(out, t.minute);
    out.push_back(':');
    appendTwoDigits(out, t.second);
    out.append(t.hour < 12 ? " AM'" : " PM'");
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void appendBinary(std::string& out, std::string_view value)
{
    if (value.size() >= 2 && ((value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) || value.substr(0, 2) == "\\x"))
        value.remove_prefix(2);
    static constexpr char upper[] = "0123456789ABCDEF";
    out.append("0x");
    for (const char c : value) {
        const int v = hexValue(c);
        if (v < 0)
            throw AppError(errnum::InvalidArgument,
                           QStringLiteral("A binary value is not hexadecimal text: %1")
                               .arg(QString::fromUtf8(value.data(), static_cast<qsizetype>(std::min<std::size_t>(value.size(), 40)))));
        out.push_back(upper[v]);
    }
}

} // namespace

void appendQuotedText(std::string& out, std::string_view text)
{
    out.push_back('\'');
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        const void* hit = std::memchr(p, '\'', static_cast<std::size_t>(end - p));
        if (!hit) {
            out.append(p, end);
            break;
        }
        const char* quote = static_cast<const char*>(hit);
        out.append(p, quote + 1);
        out.push_back('\'');
        p = quote + 1;
    }
    out.push_back('\'');
}

void appendSqlValue(std::string& out, ValueCategory category, bool isNull, std::string_view value)
{
    switch (category) {
    case ValueCategory::Number:
        if (isNull)
            out.push_back('0');
        else if (isPlainNumber(value))
            out.append(value);
        else
            appendQuotedText(out, value);
        return;
    case ValueCategory::Boolean:
        out.push_back(!isNull && isTrue(value) ? '1' : '0');
        return;
    case ValueCategory::Date: {
        Timestamp t;
        if (isNull)
            out.append("''");
        else if (parseTimestamp(value, t))
            appendTimestamp(out, t);
        else
            appendQuotedText(out, value);
        return;
    }
    case ValueCategory::Binary:
        if (isNull)
            out.append("0x");
        else
            appendBinary(out, value);
        return;
    case ValueCategory::Text:
        if (isNull)
            out.append("''");
        else
            appendQuotedText(out, value);
        return;
    }
}

} // namespace zobran
