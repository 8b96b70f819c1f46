#pragma once

#include "db/FetchedRow.h"
#include "db/MappedArray.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace zobran::db {

// The rows of a result set in memory, column by column: every value of a column lies in one
// growing byte array (UTF-8 text), with one 64-bit end offset per value whose top bit marks NULL.
// A cell costs eight bytes beyond its text, and the arrays live in pages of their own that go back
// to the system the moment the store is cleared or destroyed.
class RowStore : public RowSink {
public:
    explicit RowStore(int columnCount = 0);

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
    static constexpr std::uint64_t NullBit = std::uint64_t{1} << 63;

    struct Column {
        MappedArray<char> bytes;
        MappedArray<std::uint64_t> ends;
    };
    std::vector<Column> columns_;
    std::size_t rows_ = 0;
};

} // namespace zobran::db
