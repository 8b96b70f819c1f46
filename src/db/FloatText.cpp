#include "db/FloatText.h"

#include <array>
#include <charconv>
#include <cmath>

namespace zobran {

namespace {

template <class Float>
bool appendShortest(std::string& out, std::string_view text)
{
    Float value{};
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto parsed = std::from_chars(first, last, value, std::chars_format::general);
    if (parsed.ec != std::errc() || parsed.ptr != last || !std::isfinite(value))
        return false;
    char digits[64];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    if (written.ec != std::errc())
        return false;
    out.append(digits, written.ptr);
    return true;
}

// from_chars also accepts "nan" and "inf" spellings and hexadecimal-free forms only; anything it
// takes must still look like a decimal number to be rewritten.
bool looksNumeric(std::string_view text)
{
    if (text.empty())
        return false;
    const char c = text.front() == '-' ? (text.size() > 1 ? text[1] : '\0') : text.front();
    return (c >= '0' && c <= '9') || c == '.';
}

} // namespace

void appendShortestFloatText(std::string& out, std::string_view text, bool isSinglePrecision)
{
    if (looksNumeric(text)) {
        const bool done = isSinglePrecision ? appendShortest<float>(out, text) : appendShortest<double>(out, text);
        if (done)
            return;
    }
    out.append(text);
}

void shortenFloatTextFrom(std::string& out, std::size_t start, bool isSinglePrecision)
{
    std::array<char, 64> text{};
    const std::size_t length = out.size() - start;
    if (length >= text.size())
        return; // longer than any plain number: not one
    std::copy(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), text.begin());
    out.resize(start);
    appendShortestFloatText(out, std::string_view(text.data(), length), isSinglePrecision);
}

std::string shortestFloatText(std::string_view text, bool isSinglePrecision)
{
    std::string out;
    appendShortestFloatText(out, text, isSinglePrecision);
    return out;
}

} // namespace zobran
