#include "db/WideText.h"

static_assert(sizeof(SQLWCHAR) == 2, "the driver manager must use 16-bit wide characters");

namespace zobran::db {

namespace {

void appendCodePoint(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

constexpr char32_t Replacement = 0xFFFD;

bool isHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

} // namespace

void appendUtf16AsUtf8(std::string& out, const SQLWCHAR* text, std::size_t units, char16_t& pending)
{
    std::size_t i = 0;
    // Plain ASCII runs are the common case: copy them without the general path.
    while (i < units) {
        const char16_t u = static_cast<char16_t>(text[i]);
        if (pending != 0) {
            if (isLow(u)) {
                appendCodePoint(out, 0x10000 + ((char32_t(pending) - 0xD800) << 10) + (char32_t(u) - 0xDC00));
                pending = 0;
                ++i;
                continue;
            }
            appendCodePoint(out, Replacement);
            pending = 0;
        }
        if (u < 0x80) {
            std::size_t j = i;
            while (j < units && text[j] < 0x80)
                ++j;
            const std::size_t start = out.size();
            out.resize(start + (j - i));
            char* dst = out.data() + start;
            for (std::size_t k = i; k < j; ++k)
                *dst++ = static_cast<char>(text[k]);
            i = j;
            continue;
        }
        if (isHigh(u))
            pending = u;
        else if (isLow(u))
            appendCodePoint(out, Replacement);
        else
            appendCodePoint(out, u);
        ++i;
    }
}

void finishUtf16(std::string& out, char16_t& pending)
{
    if (pending != 0) {
        appendCodePoint(out, Replacement);
        pending = 0;
    }
}

std::vector<SQLWCHAR> toSqlWide(const QString& text)
{
    std::vector<SQLWCHAR> wide(static_cast<std::size_t>(text.size()) + 1, 0);
    for (qsizetype i = 0; i < text.size(); ++i)
        wide[static_cast<std::size_t>(i)] = text.at(i).unicode();
    return wide;
}

QString fromSqlWide(const SQLWCHAR* text, std::size_t units)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), static_cast<qsizetype>(units));
}

} // namespace zobran::db
