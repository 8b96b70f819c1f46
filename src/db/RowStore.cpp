#include "db/RowStore.h"

namespace zobran::db {

RowStore::RowStore(int columnCount) : columns_(static_cast<std::size_t>(columnCount)) {}

void RowStore::appendRow(const FetchedRow& row)
{
    for (int c = 0; c < columnCount(); ++c) {
        if (row.isNull(c))
            appendNull(c);
        else
            appendValue(c, row.value(c));
    }
    finishRow();
}

void RowStore::appendValue(int column, std::string_view utf8)
{
    Column& c = columns_[static_cast<std::size_t>(column)];
    c.bytes.append(utf8.data(), utf8.size());
    c.ends.push_back(c.bytes.size());
}

void RowStore::appendNull(int column)
{
    Column& c = columns_[static_cast<std::size_t>(column)];
    c.ends.push_back(c.bytes.size() | NullBit);
}

bool RowStore::isNull(std::size_t row, int column) const
{
    return (columns_[static_cast<std::size_t>(column)].ends[row] & NullBit) != 0;
}

std::string_view RowStore::value(std::size_t row, int column) const
{
    const Column& c = columns_[static_cast<std::size_t>(column)];
    const std::uint64_t end = c.ends[row];
    if (end & NullBit)
        return {};
    const std::uint64_t begin = row == 0 ? 0 : (c.ends[row - 1] & ~NullBit);
    return std::string_view(c.bytes.data() + begin, end - begin);
}

void RowStore::clear()
{
    for (Column& c : columns_) {
        c.bytes.clear();
        c.ends.clear();
    }
    rows_ = 0;
}

} // namespace zobran::db
