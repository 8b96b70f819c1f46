#include "db/odbc/WideText.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// How many units from the first on are ASCII.
std::size_t asciiRun(const SQLWCHAR* text, std::size_t units)
{
    std::size_t n = 0;
#if defined(__SSE2__)
    const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
    for (; n + 8 <= units; n += 8) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + n));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(chunk, high), _mm_setzero_si128())) != 0xFFFF)
            break;
    }
#endif
    while (n < units && text[n] < 0x80)
        ++n;
    return n;
}

// ASCII units to bytes.
void narrowAscii(const SQLWCHAR* text, std::size_t units, char* out)
{
    std::size_t n = 0;
#if defined(__SSE2__)
    for (; n + 16 <= units; n += 16) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + n));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + n + 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + n), _mm_packus_epi16(low, high));
    }
#endif
    for (; n < units; ++n)
        out[n] = static_cast<char>(text[n]);
}

bool isHigh(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}
bool isLow(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

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
            const std::size_t j = i + asciiRun(text + i, units - i);
            const std::size_t start = out.size();
            out.resize(start + (j - i));
            narrowAscii(text + i, j - i, out.data() + start);
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
