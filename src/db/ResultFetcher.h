#pragma once

#include "db/FetchedRow.h"
#include "db/OdbcHandle.h"
#include "db/ResultSet.h"

#include <functional>
#include <memory>
#include <vector>

namespace zobran::db {

// Reads the rows of an executed statement, once, from the first to the last, into a sink.
//
// The columns are described first. Then blocks of rows are fetched into buffers bound to every
// column; a value longer than its buffer (a long column, or a value longer than the driver
// announced) is read again from its row in pieces, so no value is ever cut and the statement is
// never executed a second time. Text is read as wide characters and handed on as UTF-8;
// floating-point values as the shortest text that reads back to the same value.
//
// A driver that cannot read a cell of a fetched block on its own (see ServerInfo) gets the rows
// one by one, every value read in pieces.
class ResultFetcher {
public:
    ResultFetcher(OdbcHandle& statement, bool piecesFromBlocks);
    ~ResultFetcher();
    ResultFetcher(const ResultFetcher&) = delete;
    ResultFetcher& operator=(const ResultFetcher&) = delete;

    // False when the statement produced no result columns (an action query).
    bool hasColumns() const { return !fields_.empty(); }
    const std::vector<FieldInfo>& fields() const { return fields_; }

    // Reads every row into the sink. Whatever the driver or the sink raises goes through.
    void readAll(RowSink& sink, const ReadProgress& progress = {});

    struct Column;

private:
    void readInBlocks(RowSink& sink, const ReadProgress& progress);
    void readRowByRow(RowSink& sink, const ReadProgress& progress);

    OdbcHandle& statement_;
    bool piecesFromBlocks_;
    std::vector<FieldInfo> fields_;
    std::vector<Column> columns_;
};

} // namespace zobran::db
