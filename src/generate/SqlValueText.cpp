#include "generate/SqlValueText.h"

#include "basics/AppError.h"

#include <algorithm>
#include <cstring>

namespace zobran {

namespace {

constexpr bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

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

// The length of a currency sign the driver may put around a number at v[i] ("$", "€", "£", "¥"), or 0.
std::size_t currencySignLength(std::string_view v, std::size_t i)
{
    const std::string_view rest = v.substr(i);
    if (rest.starts_with('$'))
        return 1;
    for (const std::string_view sign :
         {std::string_view("\u20AC"), std::string_view("\u00A3"), std::string_view("\u00A5")})
        if (rest.starts_with(sign))
            return sign.size();
    return 0;
}

// Skips blanks and currency signs at v[i].
void skipDecoration(std::string_view v, std::size_t& i, std::size_t end)
{
    while (i < end) {
        if (v[i] == ' ')
            ++i;
        else if (const std::size_t sign = currencySignLength(v.substr(0, end), i))
            i += sign;
        else
            break;
    }
}

// Appends the number text v in its plain form: an optional "-", digits without grouping, an
// optional "." and digits, an optional exponent. Takes what drivers hand over for numbers and money
// ("12.500", "-7", "1e+20", "$1,234.50", "-$3.00", "($3.00)", "+5"); for anything else appends
// nothing and returns false.
bool appendPlainNumber(std::string& out, std::string_view v)
{
    const std::size_t mark = out.size();
    const auto fail = [&out, mark] {
        out.resize(mark);
        return false;
    };
    std::size_t i = 0;
    std::size_t end = v.size();
    bool negative = false;
    bool parenthesized = false;
    if (end >= 2 && v.front() == '(' && v.back() == ')') {
        parenthesized = negative = true;
        ++i;
        --end;
    }
    bool signed_ = false;
    for (;;) {
        skipDecoration(v, i, end);
        if (i < end && (v[i] == '-' || v[i] == '+') && !signed_ && !parenthesized) {
            signed_ = true;
            negative = v[i] == '-';
            ++i;
            continue;
        }
        break;
    }
    if (negative)
        out.push_back('-');

    std::size_t digits = 0;
    std::size_t group = 0; // digits since the last grouping comma
    bool grouped = false;
    for (; i < end; ++i) {
        if (isDigit(v[i])) {
            out.push_back(v[i]);
            ++digits;
            ++group;
        } else if (v[i] == ',') {
            if (grouped ? group != 3 : (group == 0 || group > 3))
                return fail();
            grouped = true;
            group = 0;
        } else {
            break;
        }
    }
    if (grouped && group != 3)
        return fail();
    if (i < end && v[i] == '.') {
        out.push_back('.');
        for (++i; i < end && isDigit(v[i]); ++i) {
            out.push_back(v[i]);
            ++digits;
        }
    }
    if (digits == 0)
        return fail();
    if (i < end && (v[i] == 'e' || v[i] == 'E')) {
        out.push_back(v[i++]);
        if (i < end && (v[i] == '-' || v[i] == '+'))
            out.push_back(v[i++]);
        const std::size_t exponentStart = i;
        for (; i < end && isDigit(v[i]); ++i)
            out.push_back(v[i]);
        if (i == exponentStart)
            return fail();
    }
    skipDecoration(v, i, end);
    return i == end ? true : fail();
}

struct Timestamp {
    long year = 0;
    int month = 0, day = 0, hour = 0, minute = 0, second = 0;
    std::string_view fraction; // the digits after ".", as the value has them
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
        if (expect(v, i, '.')) {
            const std::size_t start = i;
            while (i < v.size() && isDigit(v[i]))
                ++i;
            t.fraction = v.substr(start, i - start);
        }
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

// 'yyyy-mm-ddThh:mm:ss[.fff]': the form SQL Server reads alike under every language and date
// format, for every date and time type. The fraction keeps at most fractionDigits digits (what the
// column declares; datetime refuses more than 3) without trailing zeros.
void appendTimestamp(std::string& out, const Timestamp& t, int fractionDigits)
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
    out.push_back('T');
    appendTwoDigits(out, t.hour);
    out.push_back(':');
    appendTwoDigits(out, t.minute);
    out.push_back(':');
    appendTwoDigits(out, t.second);
    std::string_view fraction = t.fraction;
    if (fractionDigits >= 0 && fraction.size() > static_cast<std::size_t>(fractionDigits))
        fraction = fraction.substr(0, static_cast<std::size_t>(fractionDigits));
    while (!fraction.empty() && fraction.back() == '0')
        fraction.remove_suffix(1);
    if (!fraction.empty()) {
        out.push_back('.');
        out.append(fraction);
    }
    out.push_back('\'');
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
                               .arg(QString::fromUtf8(
                                   value.data(), static_cast<qsizetype>(std::min<std::size_t>(value.size(), 40)))));
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

void appendSqlValue(std::string& out, ValueCategory category, bool isNull, std::string_view value, int fractionDigits)
{
    if (isNull) {
        switch (category) {
        case ValueCategory::Number:
        case ValueCategory::QuotedNumber:
        case ValueCategory::Boolean:
            out.push_back('0');
            return;
        case ValueCategory::Binary:
            out.append("0x");
            return;
        case ValueCategory::Text:
        case ValueCategory::NationalText:
            out.append("''");
            return;
        case ValueCategory::Timestamp:
        case ValueCategory::Other:
            out.append("NULL");
            return;
        }
    }
    switch (category) {
    case ValueCategory::Number:
        if (!appendPlainNumber(out, value))
            appendQuotedText(out, value);
        return;
    case ValueCategory::QuotedNumber: {
        out.push_back('\'');
        if (appendPlainNumber(out, value)) {
            out.push_back('\'');
        } else {
            out.pop_back();
            appendQuotedText(out, value);
        }
        return;
    }
    case ValueCategory::Boolean:
        out.push_back(isTrue(value) ? '1' : '0');
        return;
    case ValueCategory::Timestamp: {
        Timestamp t;
        if (parseTimestamp(value, t))
            appendTimestamp(out, t, fractionDigits);
        else
            appendQuotedText(out, value);
        return;
    }
    case ValueCategory::Binary:
        appendBinary(out, value);
        return;
    case ValueCategory::NationalText:
        out.push_back('N');
        appendQuotedText(out, value);
        return;
    case ValueCategory::Text:
    case ValueCategory::Other:
        appendQuotedText(out, value);
        return;
    }
}

} // namespace zobran
