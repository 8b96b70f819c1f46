#pragma once

#include "db/FetchedRow.h"
#include "generate/InsertStatementBuilder.h"
#include "generate/LineCutter.h"
#include "generate/ScriptKind.h"

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace zobran {

class PendingLineBuffer;

// The INSERT statements of one query's rows, built and cut into script lines as the rows are read
// and held back in the pending-line buffer until their rows' turn comes: the query is read once
// and counted before its first row takes its turn, each line is stored once, and memory stays the
// same whatever the row count. The lines of each script file due after every N-th row (N the
// records-per-file value, 0 for none) go into a part of the buffer of their own.
//
// A row whose statement cannot be built keeps that failure, and the rows after it are only
// counted; the failure is raised when that row's turn comes, as if it had been built then. A
// failure to cut or keep the lines ends the reading at once as CountLengthError.
class PreparedStatements : public db::RowSink {
public:
    // filesLeft: how many more script files the run may write; no lines are counted for later ones.
    PreparedStatements(InsertStatementBuilder& builder, LineCutter& cutter, PendingLineBuffer& lines, std::string table,
                       ScriptKind kind, std::int64_t perFile, std::size_t filesLeft);

    void begin(const std::vector<db::FieldInfo>& fields) override;
    void appendRow(const db::FetchedRow& row) override;

    long rowCount() const { return rows_; }

    // The row (from 1) whose statement could not be built, 0 while every row was built.
    long failedRow() const { return failedRow_; }
    [[noreturn]] void raiseFailure() const { std::rethrow_exception(failure_); }

    // The lines held back for the index-th script file due in this query (from 0): those of the rows
    // after the file due before it, up to and with the one it is due after.
    std::size_t linesOfFileDue(std::size_t index) const { return linesOfFilesDue_.at(index); }

private:
    InsertStatementBuilder& builder_;
    LineCutter& cutter_;
    PendingLineBuffer& lines_;
    std::string table_;
    ScriptKind kind_;
    std::int64_t perFile_;
    std::size_t filesLeft_;
    long rows_ = 0;
    long failedRow_ = 0;
    std::exception_ptr failure_;
    std::size_t linesSinceFileDue_ = 0;
    std::vector<std::size_t> linesOfFilesDue_;
};

} // namespace zobran
