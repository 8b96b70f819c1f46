#pragma once

#include "basics/AppError.h"
#include "generate/CountLengthError.h"
#include "generate/InsertStatementBuilder.h"
#include "generate/LineCutter.h"
#include "generate/ScriptKind.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <vector>

namespace zobran {

namespace db {
class ResultSet;
class RowSink;
} // namespace db

class PendingLineBuffer;

// One entry of the query list: the query to read and the table its rows go into.
struct ScriptQuery {
    QString sql;
    QString table;
};

// Turns the rows of every listed query into INSERT statements (one per row), cuts them into
// script lines in the pending-line buffer and says when a script file is due.
//
// run() clears the buffer, then reads the queries in order. Each query is read once, through the
// reader; its statements are built and cut as its rows arrive, each line stored once in the
// buffer and held back there until all rows are read and counted. Then the rows take their turn
// one by one, row numbers starting at 1 for every query. After each row whose number is a
// multiple of the records-per-file value N (N != 0), the lines up to that row become pending and
// fileDue is called with the current file number (1 at the start of the run); the number goes up
// by one. After the last query, fileDue is called once more when lines are still pending. A query
// without rows adds nothing and leaves the file number alone.
//
// Errors: any error raised while opening or reading a query, building, cutting or buffering a
// statement ends the run (a statement that cannot be built when its row's turn comes, with the
// lines of the rows before it pending; cutting and buffering failures as CountLengthError, as
// soon as they happen) and leaves run() (the window reports it as a generation failure);
// files written before stay, lines not yet written stay pending, lines of rows whose turn never
// came are forgotten. The fileDue callback decides about write failures itself: the window writes
// the file there and reports a failure of its own without rethrowing, so the run goes on with the
// next row (the unwritten lines stay pending and go into the next file); anything fileDue lets
// escape ends the run like any other error.
class ScriptGenerator {
public:
    // Reads a query once and hands its fields and rows to the sink (the window reads on the
    // shared connection).
    using QueryReader = std::function<void(const QString& sql, db::RowSink& rows)>;
    // Opens a query as a result set, already read from its first row (fakes and tests).
    using QueryOpener = std::function<db::ResultSet(const QString& sql)>;

    struct Callbacks {
        std::function<void(const QString& text)> status; // "" at the start and at the end
        // Before each row, with the row number and the query's row count; format it with
        // generateStatusText, as often as the display needs (it is called for every row).
        std::function<void(long row, long total)> rowProgress;
        std::function<void(qint16 fileNumber)> fileDue; // write the pending lines now
    };

    explicit ScriptGenerator(PendingLineBuffer& lines);

    // The server the statements are for (how irregular column names are quoted); kept for later runs.
    void setServer(const db::ServerInfo& server) { builder_.setServer(server); }

    // limitText is the "Limit Records" text: its leading number, rounded half to even, is N.
    void run(const std::vector<ScriptQuery>& queries, ScriptKind kind, QStringView limitText,
             const QueryReader& readQuery, const Callbacks& callbacks);
    void run(const std::vector<ScriptQuery>& queries, ScriptKind kind, QStringView limitText,
             const QueryOpener& openQuery, const Callbacks& callbacks);

    // Counts of the last run (also after it failed):
    long rowsGenerated() const { return rowsGenerated_; }
    // Values that held a carriage return: a KX file cannot carry them intact, the SQL kind can.
    long valuesWithCarriageReturn() const { return builder_.valuesWithCarriageReturn(); }
    // KX statements that had to be cut where a reader cannot restore them exactly.
    long statementsNotRestorable() const { return cutter_.statementsNotRestorable(); }

private:
    void generateQuery(const ScriptQuery& query, ScriptKind kind, std::int64_t perFile, int& fileNumber,
                       const QueryReader& readQuery, const Callbacks& callbacks);
    static void fileDue(const Callbacks& callbacks, int& fileNumber);
    // The next held-back lines become pending; a failure is a CountLengthError.
    void release(std::size_t lines);

    PendingLineBuffer& lines_;
    InsertStatementBuilder builder_;
    LineCutter cutter_{ScriptKind::Sql};
    long rowsGenerated_ = 0;
};

// Hands the fields and every row of an opened result set, from the first row, to the sink, then
// closes it.
void handRowsOn(db::ResultSet& opened, db::RowSink& rows);

// "Generate ... 7 of 250".
QString generateStatusText(long row, long total);

// "Reading ... 12000 rows", while the rows of a query are read.
QString readingStatusText(std::size_t rows);

// The records-per-file value of a "Limit Records" text, as a positive count or 0 for no limit:
// the leading number rounded half to even; its sign is ignored and a count beyond every possible
// row number means no limit.
std::int64_t recordsPerFile(QStringView limitText);

} // namespace zobran
