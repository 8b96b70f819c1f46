#pragma once

#include "db/FetchedRow.h"
#include "db/ResultSet.h"
#include "db/ServerInfo.h"
#include "db/odbc/OdbcHandle.h"

#include <vector>

namespace zobran::db {

// Reads the rows of an executed statement, once, from the first to the last, into a sink.
//
// The columns are described first. Then blocks of rows are fetched into buffers bound to every
// column; a value longer than its buffer (a long column, or a value longer than the driver
// announced) is read again from its row in pieces, so no value is ever cut and the statement is
// never executed a second time. The driver fetches the next block on a thread of its own while
// the caller's thread converts the last one and hands its rows to the sink; the sink and the
// progress are only ever called on the caller's thread.
//
// Values come as the text the driver would give, in UTF-8:
// - integers and bits are fetched as numbers and written as digits ("-7", "1");
// - numeric and decimal values as the driver's text, in single-byte characters (digits, sign and
//   point only, in every locale);
// - timestamps as numbers written "yyyy-mm-dd hh:mm:ss" with the fraction's trailing zeros
//   dropped, where the server's driver writes them so (see ServerInfo); a value that this form
//   cannot stand for is read as text;
// - everything else as wide characters, so text is right in every locale; floating-point values
//   as the shortest text that reads back to the same value.
//
// A driver that reads a bound cell again only from the row it has just fetched (see ServerInfo)
// gets blocks of one row; one that cannot read bound cells again at all gets the rows one by one,
// every value read in pieces as wide characters.
class ResultFetcher {
public:
    ResultFetcher(OdbcHandle& statement, const ServerInfo& server);
    ~ResultFetcher();
    ResultFetcher(const ResultFetcher&) = delete;
    ResultFetcher& operator=(const ResultFetcher&) = delete;

    // False when the statement produced no result columns (an action query).
    bool hasColumns() const { return !fields_.empty(); }
    const std::vector<FieldInfo>& fields() const { return fields_; }

    // Tells the sink the fields, then reads every row into it. Whatever the driver or the sink
    // raises goes through.
    void readAll(RowSink& sink, const ReadProgress& progress = {});

    struct Column;
    class Blocks;

private:
    void readInBlocks(RowSink& sink, const ReadProgress& progress);
    void readRowByRow(RowSink& sink, const ReadProgress& progress);

    OdbcHandle& statement_;
    bool readsBoundCells_;
    bool readsCellsOfBlocks_;
    std::vector<FieldInfo> fields_;
    std::vector<Column> columns_;
};

} // namespace zobran::db
