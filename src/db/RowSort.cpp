#include "db/RowSort.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>

namespace zobran::db {

namespace {

double numberKey(std::string_view text)
{
    double value = std::numeric_limits<double>::quiet_NaN();
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int compareText(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = static_cast<unsigned char>(foldAscii(a[i]));
        const unsigned char y = static_cast<unsigned char>(foldAscii(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// A text's place in the sort order as far as its first 16 bytes, folded, tell it.
struct TextKey {
    std::uint64_t high = 0; // bytes 1 to 8, the first one highest
    std::uint64_t low = 0;  // bytes 9 to 16
    std::uint32_t row = 0;
    bool isNull = false;
};

TextKey textKeyOf(const RowStore& rows, std::size_t row, int column)
{
    TextKey key;
    key.row = static_cast<std::uint32_t>(row);
    key.isNull = rows.isNull(row, column);
    const std::string_view text = rows.value(row, column);
    for (std::size_t i = 0; i < 16; ++i) {
        const std::uint64_t byte = i < text.size() ? static_cast<unsigned char>(foldAscii(text[i])) : 0;
        if (i < 8)
            key.high |= byte << (8 * (7 - i));
        else
            key.low |= byte << (8 * (15 - i));
    }
    return key;
}

} // namespace

SortOrder parseSortOrder(const QString& sort)
{
    SortOrder order{sort.trimmed()};
    if (order.field.endsWith(QStringLiteral(" Desc"), Qt::CaseInsensitive)) {
        order.descending = true;
        order.field.chop(5);
    } else if (order.field.endsWith(QStringLiteral(" Asc"), Qt::CaseInsensitive)) {
        order.field.chop(4);
    }
    order.field = order.field.trimmed();
    return order;
}

std::vector<std::uint32_t> sortedRows(const RowStore& rows, int column, bool numeric, bool descending)
{
    const std::size_t count = rows.rowCount();
    std::vector<std::uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    if (numeric) {
        std::vector<double> keys(count);
        for (std::size_t r = 0; r < count; ++r)
            keys[r]
                = rows.isNull(r, column) ? -std::numeric_limits<double>::infinity() : numberKey(rows.value(r, column));
        const auto less = [&](std::uint32_t a, std::uint32_t b) {
            const double x = keys[a], y = keys[b];
            if (std::isnan(x) || std::isnan(y))
                return !std::isnan(x) && std::isnan(y); // numbers before text that is not a number
            return x < y;
        };
        std::stable_sort(order.begin(), order.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return descending ? less(b, a) : less(a, b); });
    } else {
        // The first bytes of every text, folded, decide most comparisons without reading the text.
        std::vector<TextKey> keys(count);
        for (std::size_t r = 0; r < count; ++r)
            keys[r] = textKeyOf(rows, r, column);
        const auto compare = [&](const TextKey& a, const TextKey& b) {
            if (a.isNull || b.isNull)
                return a.isNull == b.isNull ? 0 : (a.isNull ? -1 : 1);
            if (a.high != b.high)
                return a.high < b.high ? -1 : 1;
            if (a.low != b.low)
                return a.low < b.low ? -1 : 1;
            return compareText(rows.value(a.row, column), rows.value(b.row, column));
        };
        // Equal texts keep their read order, both ways.
        std::sort(keys.begin(), keys.end(), [&](const TextKey& a, const TextKey& b) {
            const int c = descending ? compare(b, a) : compare(a, b);
            return c != 0 ? c < 0 : a.row < b.row;
        });
        for (std::size_t r = 0; r < count; ++r)
            order[r] = keys[r].row;
    }
    return order;
}

} // namespace zobran::db
