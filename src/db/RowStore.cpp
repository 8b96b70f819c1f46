#include "db/RowStore.h"

#include <algorithm>

namespace zobran::db {

RowStore::RowStore(int columnCount) : columns_(static_cast<std::size_t>(columnCount)) {}

RowStore::RowStore(int columnCount, std::uint64_t chunkBytes)
    : columns_(static_cast<std::size_t>(columnCount)), chunkBytes_(std::min<std::uint64_t>(chunkBytes, NullBit))
{
}

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
    if (!c.wide && c.ends.size() % ChunkRows == 0)
        c.chunks.push_back(c.bytes.size());
    c.bytes.append(utf8.data(), utf8.size());
    appendEnd(c, false);
}

void RowStore::appendNull(int column)
{
    Column& c = columns_[static_cast<std::size_t>(column)];
    if (!c.wide && c.ends.size() % ChunkRows == 0)
        c.chunks.push_back(c.bytes.size());
    appendEnd(c, true);
}

void RowStore::appendEnd(Column& c, bool isNull) const
{
    if (!c.wide && c.bytes.size() - c.chunks[c.chunks.size() - 1] >= chunkBytes_)
        widen(c);
    if (c.wide)
        c.wideEnds.push_back(c.bytes.size() | (isNull ? WideNullBit : 0));
    else
        c.ends.push_back(static_cast<std::uint32_t>(c.bytes.size() - c.chunks[c.chunks.size() - 1])
                         | (isNull ? NullBit : 0));
}

void RowStore::widen(Column& c)
{
    for (std::size_t row = 0; row < c.ends.size(); ++row) {
        const std::uint32_t end = c.ends[row];
        c.wideEnds.push_back((c.chunks[row / ChunkRows] + (end & ~NullBit)) | ((end & NullBit) ? WideNullBit : 0));
    }
    c.ends.clear();
    c.chunks.clear();
    c.wide = true;
}

bool RowStore::isNull(std::size_t row, int column) const
{
    const Column& c = columns_[static_cast<std::size_t>(column)];
    return c.wide ? (c.wideEnds[row] & WideNullBit) != 0 : (c.ends[row] & NullBit) != 0;
}

std::string_view RowStore::value(std::size_t row, int column) const
{
    const Column& c = columns_[static_cast<std::size_t>(column)];
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    if (c.wide) {
        end = c.wideEnds[row];
        if (end & WideNullBit)
            return {};
        begin = row == 0 ? 0 : (c.wideEnds[row - 1] & ~WideNullBit);
    } else {
        const std::uint32_t relativeEnd = c.ends[row];
        if (relativeEnd & NullBit)
            return {};
        const std::uint64_t chunk = c.chunks[row / ChunkRows];
        end = chunk + relativeEnd;
        begin = row % ChunkRows == 0 ? chunk : chunk + (c.ends[row - 1] & ~NullBit);
    }
    return std::string_view(c.bytes.data() + begin, end - begin);
}

void RowStore::clear()
{
    for (Column& c : columns_)
        c = Column();
    rows_ = 0;
}

} // namespace zobran::db
