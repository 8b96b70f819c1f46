#include "db/Statement.h"

#include "basics/RunStopped.h"
#include "db/Connection.h"
#include "db/StatementText.h"
#include "db/odbc/OdbcHandle.h"
#include "db/odbc/ResultFetcher.h"
#include "db/odbc/WideText.h"

#include <array>

namespace zobran::db {

namespace {

bool isTimeLimitRecord(const Diagnostic& record)
{
    // HYT00 is ODBC's own; the stand-in's driver passes the server's "statement timeout" through.
    return record.sqlState == QLatin1String("HYT00")
        || (record.sqlState == QLatin1String("57014") && record.message.contains(QLatin1String("timeout")));
}

QString columnName(SQLHSTMT statement, SQLUSMALLINT column)
{
    std::array<SQLWCHAR, 256> name{};
    SQLSMALLINT length = 0;
    SQLColAttributeW(statement, column, SQL_DESC_NAME, name.data(), static_cast<SQLSMALLINT>(sizeof name), &length,
                     nullptr);
    const auto units = std::min<std::size_t>(
        static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)) / sizeof(SQLWCHAR), name.size() - 1);
    return fromSqlWide(name.data(), units);
}

// One value as text, however long; "NULL" for a null.
SQLRETURN columnText(SQLHSTMT statement, SQLUSMALLINT column, QString& text)
{
    text.clear();
    std::array<SQLWCHAR, 4096> part{};
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(statement, column, SQL_C_WCHAR, part.data(), sizeof part, &indicator);
        if (rc == SQL_NO_DATA)
            return SQL_SUCCESS;
        if (!SQL_SUCCEEDED(rc))
            return rc;
        if (indicator == SQL_NULL_DATA) {
            text = QStringLiteral("NULL");
            return SQL_SUCCESS;
        }
        const std::size_t room = part.size() - 1;
        const std::size_t units
            = (indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR) > room)
            ? room
            : static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR);
        text += fromSqlWide(part.data(), units);
        if (rc == SQL_SUCCESS)
            return SQL_SUCCESS;
    }
}

} // namespace

// While a run uses the connection, its stop cancels whatever this statement is doing.
struct Statement::InFlight {
    StopSource stop;
    StopSource::Registration cancelOnStop;
};

Statement::Statement(Connection& connection)
    : connection_(connection), handle_(std::make_unique<OdbcHandle>(connection.newStatement()))
{
    if (const std::optional<StopSource> stop = connection.runStop()) {
        const SQLHSTMT handle = handle_->get();
        inFlight_ = std::make_unique<InFlight>(InFlight{*stop, stop->onStop([handle] { SQLCancel(handle); })});
    }
}

Statement::~Statement()
{
    // The cancel goes first: it may be running, and the handle must outlive it.
    inFlight_.reset();
}

void Statement::setTimeLimit(int seconds)
{
    timeLimit_ = std::max(seconds, 0);
    checked(SQLSetStmtAttr(handle_->get(), SQL_ATTR_QUERY_TIMEOUT,
                           reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeLimit_)), 0),
            *handle_, "SQLSetStmtAttr");
}

void Statement::closeCursor() noexcept
{
    SQLFreeStmt(handle_->get(), SQL_CLOSE);
}

void Statement::fail(short rc, const char* operation)
{
    if (inFlight_ && inFlight_->stop.stopRequested())
        throw RunStopped();
    QList<Diagnostic> records = diagnosticsOf(SQL_HANDLE_STMT, handle_->get());
    if (timeLimit_ > 0 && !records.isEmpty() && isTimeLimitRecord(records.first()))
        throw DbError(std::move(records), {},
                      QStringLiteral("The statement ran longer than its time limit of %1 seconds and was stopped.")
                          .arg(timeLimit_));
    throw DbError(std::move(records),
                  QStringLiteral("%1 failed (return code %2).").arg(QLatin1String(operation)).arg(rc));
}

short Statement::checkedCall(short rc, const char* operation)
{
    if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO || rc == SQL_NO_DATA)
        return rc;
    fail(rc, operation);
}

void Statement::send(const QString& text)
{
    checkStatementText(text);
    if (inFlight_)
        inFlight_->stop.throwIfStopRequested();
    closeCursor();
    // QString holds UTF-16, the driver's wide characters: no copy needed.
    auto* wide = const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(text.utf16()));
    checkedCall(SQLExecDirectW(handle_->get(), wide, static_cast<SQLINTEGER>(text.size())), "SQLExecDirect");
}

long Statement::execute(const QString& text)
{
    struct Closer {
        Statement& s;
        ~Closer() { s.closeCursor(); }
    } closer{*this};
    send(text);
    SQLLEN count = -1;
    checkedCall(SQLRowCount(handle_->get(), &count), "SQLRowCount");
    // Later results of a batch may carry failures of their own: walk them all.
    while (checkedCall(SQLMoreResults(handle_->get()), "SQLMoreResults") != SQL_NO_DATA) {}
    return static_cast<long>(count);
}

bool Statement::query(const QString& text, RowSink& rows, const ReadProgress& progress)
{
    struct Closer {
        Statement& s;
        ~Closer() { s.closeCursor(); }
    } closer{*this};
    send(text);
    // Between blocks of rows a stop is seen even where the driver's cancel does not reach a fetch.
    const ReadProgress checkedProgress = [this, &progress](std::size_t rowsRead) {
        if (inFlight_)
            inFlight_->stop.throwIfStopRequested();
        if (progress)
            progress(rowsRead);
    };
    try {
        ResultFetcher fetcher(*handle_, connection_.serverInfo());
        if (!fetcher.hasColumns())
            return false;
        fetcher.readAll(rows, checkedProgress);
    } catch (const DbError&) {
        // A read the stop cut short, or that ran out of time, says so.
        if (inFlight_ && inFlight_->stop.stopRequested())
            throw RunStopped();
        throw;
    }
    return true;
}

bool Statement::run(const QString& text, ResultHandler& handler)
{
    checkStatementText(text);
    if (inFlight_)
        inFlight_->stop.throwIfStopRequested();
    const SQLHSTMT statement = handle_->get();
    closeCursor();
    auto* wide = const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(text.utf16()));
    SQLRETURN rc = SQLExecDirectW(statement, wide, static_cast<SQLINTEGER>(text.size()));
    bool succeeded = true;
    for (;;) {
        if (rc == SQL_INVALID_HANDLE)
            throw DbError({}, QStringLiteral("The statement handle is not valid."));
        if (rc == SQL_SUCCESS_WITH_INFO)
            for (const Diagnostic& record : diagnosticsOf(SQL_HANDLE_STMT, statement))
                handler.message(record);
        if (SQL_SUCCEEDED(rc) && !readResultForRunner(handler))
            succeeded = false;
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
            succeeded = false;
            if (inFlight_ && inFlight_->stop.stopRequested()) {
                closeCursor();
                throw RunStopped();
            }
            const QList<Diagnostic> records = diagnosticsOf(SQL_HANDLE_STMT, statement);
            // Nothing comes after a connection that is gone.
            bool goOn = rc == SQL_ERROR && !records.isEmpty() && !isConnectionLost(records);
            for (const Diagnostic& record : records) {
                handler.message(record);
                // A call out of sequence would come back the same way again and again.
                if (record.sqlState == QLatin1String("HY010"))
                    goOn = false;
            }
            if (!goOn)
                break;
        }
        rc = SQLMoreResults(statement);
        if (rc == SQL_NO_DATA)
            break;
    }
    closeCursor();
    return succeeded;
}

// The rows of the current result, if it has columns; false when fetching failed.
bool Statement::readResultForRunner(ResultHandler& handler)
{
    const SQLHSTMT statement = handle_->get();
    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(statement, &columns)) || columns <= 0)
        return true;
    QStringList values;
    for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(columns); ++i)
        values << columnName(statement, i);
    handler.columns(values);
    const auto messages = [&] {
        for (const Diagnostic& record : diagnosticsOf(SQL_HANDLE_STMT, statement))
            handler.message(record);
    };
    long rows = 0;
    QString value;
    for (;;) {
        SQLRETURN rc = SQLFetch(statement);
        if (rc == SQL_NO_DATA)
            break;
        if (rc == SQL_SUCCESS_WITH_INFO)
            messages();
        if (!SQL_SUCCEEDED(rc)) {
            if (inFlight_ && inFlight_->stop.stopRequested())
                throw RunStopped();
            messages();
            return false;
        }
        values.clear();
        for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(columns); ++i) {
            rc = columnText(statement, i, value);
            if (!SQL_SUCCEEDED(rc)) {
                messages();
                return false;
            }
            values << value;
        }
        handler.row(values);
        ++rows;
    }
    handler.rowsEnd(rows);
    return true;
}

} // namespace zobran::db
