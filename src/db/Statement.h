#pragma once

#include "db/DbError.h"
#include "db/FetchedRow.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace zobran::db {

class Connection;
class OdbcHandle;

// What a script runner hears of a text it sent, result after result, in the order the driver gives
// it: the driver's and the server's messages (errors, warnings, informational messages), and for a
// result with columns their names, every row as text ("NULL" for a null) and how many rows came.
class ResultHandler {
public:
    virtual ~ResultHandler() = default;
    virtual void message(const Diagnostic& record) = 0;
    virtual void columns(const QStringList& names) = 0;
    virtual void row(const QStringList& values) = 0;
    virtual void rowsEnd(long rows) = 0;
};

// The one place where texts reach the server: a statement on an open connection that executes one
// text after the other on the same handle, walks every result of each and reads rows.
//
// A text holding U+0000 is never sent (the driver would end it there). While a run uses the
// connection (Connection::RunUse), a stop of that run cancels the statement in flight through the
// driver, and the failure it then returns comes up as RunStopped. With a time limit, a text that
// runs longer is stopped by the driver and comes up as a DbError that says so.
class Statement {
public:
    // Raises 3704 when the connection is closed.
    explicit Statement(Connection& connection);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Seconds a text may run before it is stopped; 0 for no limit. Applies to the texts after it.
    void setTimeLimit(int seconds);
    int timeLimit() const { return timeLimit_; }

    // Executes a text whose rows, if any, nobody reads, and walks every result it gives: a failure
    // of any of them raises DbError. Returns the rows the first result affected (-1 when the driver
    // does not know).
    long execute(const QString& text);

    // Executes a query and hands the fields, then every row of its result, to the sink. False, with
    // nothing handed on, when the text gave no result columns (an action query).
    bool query(const QString& text, RowSink& rows, const ReadProgress& progress = {});

    // Executes a text as a script runner does: every result, message and row goes to the handler,
    // failures of the statements in it too; it goes on with the next result where the driver lets it.
    // Returns false when any part of it failed. Raises only when the text could not be sent at all,
    // when the connection went away, or when the run was stopped.
    bool run(const QString& text, ResultHandler& handler);

private:
    struct InFlight;
    void send(const QString& text);
    void closeCursor() noexcept;
    [[noreturn]] void fail(short rc, const char* operation);
    short checkedCall(short rc, const char* operation);
    bool readResultForRunner(ResultHandler& handler);

    Connection& connection_;
    std::unique_ptr<OdbcHandle> handle_;
    std::unique_ptr<InFlight> inFlight_;
    int timeLimit_ = 0;
};

} // namespace zobran::db
