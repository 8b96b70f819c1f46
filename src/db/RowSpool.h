#pragma once

#include "basics/UnnamedFile.h"
#include "db/FetchedRow.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zobran::db {

// Rows kept in an unnamed temporary file while a result is read, then read back forwards from the
// first row, so that a result of any size costs the same small amount of memory. Each row is one
// record: the length of every value (or a NULL mark), then the values' UTF-8 text. The file has no
// name and goes with the spool. Failures of the temporary file raise FileError 75.
class RowSpool : public RowSink {
public:
    explicit RowSpool(int columnCount);
    ~RowSpool() override;
    RowSpool(const RowSpool&) = delete;
    RowSpool& operator=(const RowSpool&) = delete;

    int columnCount() const { return columnCount_; }
    std::size_t rowCount() const { return rows_; }

    // Writing.
    void appendRow(const FetchedRow& row) override;

    // Reading: rewind() goes to before the first row, next() to the following row (false after
    // the last one). Writing may not go on once reading has begun.
    void rewind();
    bool next();
    bool isNull(int column) const { return lengths_[static_cast<std::size_t>(column)] == NullLength; }
    std::string_view value(int column) const;

private:
    static constexpr std::uint32_t NullLength = 0xFFFFFFFFu;

    void flushWriteBuffer();
    void readInto(std::size_t wanted);

    int columnCount_;
    UnnamedFile file_;
    std::size_t rows_ = 0;
    std::uint64_t fileBytes_ = 0;
    std::string writeBuffer_;

    std::string readBuffer_;
    std::size_t readStart_ = 0; // where the current record begins in readBuffer_
    std::size_t currentRecordBytes_ = 0;
    std::size_t readEnd_ = 0;          // bytes of readBuffer_ that hold file content
    std::uint64_t readFileOffset_ = 0; // file offset of readBuffer_[readEnd_]
    std::size_t rowsRead_ = 0;
    std::vector<std::uint32_t> lengths_;
    std::vector<std::size_t> starts_; // of each value of the current row in readBuffer_
};

} // namespace zobran::db
