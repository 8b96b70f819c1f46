#include "generate/LeadingNumber.h"

#include <QString>

#include <charconv>
#include <cmath>
#include <string>

namespace zobran {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Position of the first significant digit relative to the decimal point, exponent included:
// positive for numbers of 1 and more, zero or negative below. Decides which way a number that is
// out of the double range lies.
long long decimalMagnitude(const std::string& number)
{
    const auto e = number.find('e');
    const std::string mantissa = number.substr(0, e);
    long long exponent = 0;
    if (e != std::string::npos) {
        const char* first = number.data() + e + 1;
        if (*first == '+')
            ++first;
        if (std::from_chars(first, number.data() + number.size(), exponent).ec != std::errc())
            exponent = (*first == '-') ? -(1LL << 40) : (1LL << 40);
    }
    const auto point = mantissa.find('.');
    const long long integerDigits = static_cast<long long>(point == std::string::npos ? mantissa.size() : point);
    const auto firstNonZero = mantissa.find_first_not_of("0.");
    if (firstNonZero == std::string::npos)
        return -(1LL << 40); // zero
    const long long position = static_cast<long long>(firstNonZero);
    const long long magnitude = position < integerDigits ? integerDigits - position : integerDigits - position + 1;
    return magnitude + exponent;
}

} // namespace

double leadingNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;

    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }

    // Collect the number part as ASCII for a locale-independent conversion.
    std::string digits;
    bool anyDigit = false;
    while (i < n && isDigit(text[i])) {
        digits.push_back(static_cast<char>(text[i].unicode()));
        anyDigit = true;
        ++i;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        digits.push_back('.');
        ++i;
        while (i < n && isDigit(text[i])) {
            digits.push_back(static_cast<char>(text[i].unicode()));
            anyDigit = true;
            ++i;
        }
    }
    if (!anyDigit)
        return 0.0;

    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) {
            exponent.push_back(static_cast<char>(text[j].unicode()));
            ++j;
        }
        const qsizetype firstExponentDigit = j;
        while (j < n && isDigit(text[j])) {
            exponent.push_back(static_cast<char>(text[j].unicode()));
            ++j;
        }
        if (j > firstExponentDigit)
            digits += exponent;
    }

    double value = 0.0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range)
        value = decimalMagnitude(digits) > 0 ? HUGE_VAL : 0.0;
    return negative ? -value : value;
}

double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction < 0.5)
        return lower;
    if (fraction > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

QString wholeNumberText(double wholeValue)
{
    if (wholeValue == 0.0)
        return QStringLiteral("0"); // also for -0
    return QString::number(wholeValue, 'f', 0);
}

} // namespace zobran
