#pragma once

#include "db/FetchedRow.h"
#include "db/MappedArray.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace zobran::db {

// The rows of a result set in memory, column by column: every value of a column lies in one
// growing byte array (UTF-8 text). Where each value ends is kept in 32 bits, counted from the start
// of its chunk of ChunkRows rows, whose own start is kept in 64 bits; the top bit of an end marks
// NULL. A column whose chunk holds 2 GiB or more goes over to 64-bit ends. So a cell costs about
// four bytes beyond its text, and the arrays live in pages of their own that go back to the system
// the moment the store is cleared or destroyed.
class RowStore : public RowSink {
public:
    explicit RowStore(int columnCount = 0);
    // chunkBytes: what a chunk may hold before its column goes over to 64-bit ends (below 2 GiB;
    // tests make it small).
    RowStore(int columnCount, std::uint64_t chunkBytes);

    int columnCount() const { return static_cast<int>(columns_.size()); }
    std::size_t rowCount() const { return rows_; }

    void appendRow(const FetchedRow& row) override;
    // Fill a row column by column, then finish it.
    void appendValue(int column, std::string_view utf8);
    void appendNull(int column);
    void finishRow() { ++rows_; }

    bool isNull(std::size_t row, int column) const;
    std::string_view value(std::size_t row, int column) const; // empty for NULL

    void clear();

private:
    static constexpr std::size_t ChunkRows = 1024;
    static constexpr std::uint32_t NullBit = std::uint32_t{1} << 31;
    static constexpr std::uint64_t WideNullBit = std::uint64_t{1} << 63;

    struct Column {
        MappedArray<char> bytes;
        MappedArray<std::uint32_t> ends;     // from the start of the value's chunk
        MappedArray<std::uint64_t> chunks;   // where each chunk starts in bytes
        MappedArray<std::uint64_t> wideEnds; // instead, once a chunk outgrew 32 bits
        bool wide = false;
    };
    void appendEnd(Column& c, bool isNull) const;
    static void widen(Column& c);

    std::vector<Column> columns_;
    std::size_t rows_ = 0;
    std::uint64_t chunkBytes_ = NullBit;
};

} // namespace zobran::db
