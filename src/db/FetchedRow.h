#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zobran::db {

// Told the number of rows read so far while a result is read, after every block of rows.
using ReadProgress = std::function<void(std::size_t rowsRead)>;

struct FieldInfo {
    std::string name; // UTF-8, as the server reports it
    int type = 0;     // ODBC SQL type code (SQL_INTEGER, SQL_WVARCHAR, ...)
    // The column's declared decimal digits as the driver describes them: the scale of a numeric
    // column, the digits of the fraction of a second of a timestamp (3 for datetime, 0 for
    // smalldatetime, n for datetime2(n)); -1 when nobody said (result sets built in memory).
    int decimalDigits = -1;
};

// One row as a fetch hands it on: the values of every column as UTF-8, one after the other in one
// buffer that is reused from row to row.
class FetchedRow {
public:
    // The text of the next value goes here, then endValue() closes it.
    std::string& bytes() { return bytes_; }
    void endValue() { ends_.push_back(bytes_.size()); }
    void appendNull() { ends_.push_back(bytes_.size() | NullBit); }
    void clear()
    {
        bytes_.clear();
        ends_.clear();
    }

    int columnCount() const { return static_cast<int>(ends_.size()); }
    bool isNull(int column) const { return (ends_[static_cast<std::size_t>(column)] & NullBit) != 0; }
    std::string_view value(int column) const
    {
        if (isNull(column))
            return {};
        const std::size_t begin = column == 0 ? 0 : endOf(column - 1);
        return std::string_view(bytes_).substr(begin, endOf(column) - begin);
    }
    // Every value's text, one after the other.
    std::string_view allBytes() const { return bytes_; }

private:
    static constexpr std::size_t NullBit = std::size_t{1} << (sizeof(std::size_t) * 8 - 1);
    std::size_t endOf(int column) const { return ends_[static_cast<std::size_t>(column)] & ~NullBit; }

    std::string bytes_;
    std::vector<std::size_t> ends_;
};

// Where the rows of a fetch go, one after the other, once the sink has heard the fields.
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void begin(const std::vector<FieldInfo>& fields) { (void)fields; }
    virtual void appendRow(const FetchedRow& row) = 0;
};

} // namespace zobran::db
