#pragma once

#include "db/FetchedRow.h"
#include "db/RowSpool.h"
#include "generate/InsertStatementBuilder.h"
#include "generate/ScriptKind.h"

#include <exception>
#include <string>
#include <string_view>

namespace zobran {

// The INSERT statements of one query's rows, built as the rows are read and kept in an unnamed
// temporary file until their turn comes: the query is read once and counted before its first
// statement is handed on, building overlaps reading, and memory stays the same whatever the row
// count. A row whose statement cannot be built keeps that failure, and the rows after it are only
// counted; the failure is raised when that row's turn comes, as if it had been built then.
class PreparedStatements : public db::RowSink {
public:
    PreparedStatements(InsertStatementBuilder& builder, std::string table, ScriptKind kind);

    void begin(const std::vector<db::FieldInfo>& fields) override;
    void appendRow(const db::FetchedRow& row) override;

    long rowCount() const { return rows_; }

    // The statements from the first on: next() gives the following row's statement, valid until
    // the next call, and raises the failure of a row that has none.
    void rewind();
    std::string_view next();

private:
    InsertStatementBuilder& builder_;
    std::string table_;
    ScriptKind kind_;
    db::RowSpool statements_{1};
    db::FetchedRow statement_;
    long rows_ = 0;
    long failedRow_ = -1; // 0-based; -1 while every row was built
    std::exception_ptr failure_;
    long rowsRead_ = 0;
};

} // namespace zobran
