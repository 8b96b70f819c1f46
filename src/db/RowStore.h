#pragma once

#include "db/FetchedRow.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zobran::db {

// The rows of a result set, column by column: every value of a column lies in one growing byte
// buffer (UTF-8 text), with one 64-bit end offset per value whose top bit marks NULL. Appending a
// value costs no allocation of its own, and a cell costs eight bytes beyond its text.
class RowStore : public RowSink {
public:
    explicit RowStore(int columnCount = 0);

    void appendRow(const FetchedRow& row) override;

    int columnCount() const { return static_cast<int>(columns_.size()); }
    std::size_t rowCount() const { return rows_; }

    // Fill a row column by column, then finish it.
    void appendValue(int column, std::string_view utf8);
    void appendNull(int column);
    // The buffer of a column, for writers that convert straight into it; close with endValue.
    std::string& openValue(int column) { return columns_[column].bytes; }
    void endValue(int column) { columns_[column].ends.push_back(columns_[column].bytes.size()); }
    void finishRow() { ++rows_; }

    bool isNull(std::size_t row, int column) const;
    std::string_view value(std::size_t row, int column) const; // empty for NULL

    void clear();
    void reserveRows(std::size_t rows);

private:
    static constexpr std::uint64_t NullBit = std::uint64_t{1} << 63;

    struct Column {
        std::string bytes;
        std::vector<std::uint64_t> ends;
    };
    std::vector<Column> columns_;
    std::size_t rows_ = 0;
};

} // namespace zobran::db
