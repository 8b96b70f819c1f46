#include "osql/OdbcExecutor.h"

#include "osql/ScriptOutput.h"

#include "db/Connection.h"
#include "db/StatementText.h"
#include "db/WideText.h"

#include <QStringList>

#include <array>

namespace zobran::osql {

namespace {

QString columnName(SQLHSTMT statement, SQLUSMALLINT column)
{
    std::array<SQLWCHAR, 256> name{};
    SQLSMALLINT length = 0;
    SQLColAttributeW(statement, column, SQL_DESC_NAME, name.data(), static_cast<SQLSMALLINT>(sizeof name), &length,
                     nullptr);
    const auto units = std::min<std::size_t>(
        static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)) / sizeof(SQLWCHAR), name.size() - 1);
    return db::fromSqlWide(name.data(), units);
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
        text += db::fromSqlWide(part.data(), units);
        if (rc == SQL_SUCCESS)
            return SQL_SUCCESS;
    }
}

} // namespace

OdbcExecutor::OdbcExecutor(db::Connection& connection, ScriptOutput& output)
    : statement_(connection.newStatement()), output_(output)
{
}

bool OdbcExecutor::execute(const QString& text)
{
    try {
        db::checkStatementText(text);
    } catch (const db::DbError& refused) {
        print(refused.records());
        return false;
    }
    const SQLHSTMT statement = statement_.get();
    // QString holds UTF-16, the driver's wide characters: no copy needed.
    auto* wide = const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(text.utf16()));
    SQLRETURN rc = SQLExecDirectW(statement, wide, static_cast<SQLINTEGER>(text.size()));
    bool succeeded = true;
    for (;;) {
        if (rc == SQL_INVALID_HANDLE)
            throw db::DbError({}, QStringLiteral("The statement handle is not valid."));
        if (rc == SQL_SUCCESS_WITH_INFO)
            printMessages();
        if (SQL_SUCCEEDED(rc) && !printRows())
            succeeded = false;
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
            succeeded = false;
            // Later statements of a batch may still have results to give; but a call out of
            // sequence (HY010), a failure without a reason or anything but an error would come
            // back the same way again and again.
            if (rc != SQL_ERROR || !printMessagesAndGoOn())
                break;
        }
        rc = SQLMoreResults(statement);
        if (rc == SQL_NO_DATA)
            break;
    }
    SQLFreeStmt(statement, SQL_CLOSE);
    return succeeded;
}

void OdbcExecutor::print(const QList<db::Diagnostic>& records)
{
    for (const db::Diagnostic& record : records)
        output_.message(record);
    if (db::isConnectionLost(records))
        lost_ = true;
}

void OdbcExecutor::printMessages()
{
    print(db::diagnosticsOf(SQL_HANDLE_STMT, statement_.get()));
}

bool OdbcExecutor::printMessagesAndGoOn()
{
    const QList<db::Diagnostic> records = db::diagnosticsOf(SQL_HANDLE_STMT, statement_.get());
    print(records);
    if (lost_ || records.isEmpty())
        return false;
    for (const db::Diagnostic& record : records)
        if (record.sqlState == QLatin1String("HY010"))
            return false;
    return true;
}

bool OdbcExecutor::printRows()
{
    const SQLHSTMT statement = statement_.get();
    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(statement, &columns)) || columns <= 0)
        return true;
    QStringList fields;
    for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(columns); ++i)
        fields << columnName(statement, i);
    output_.line(fields.join(QLatin1Char('\t')));
    long rows = 0;
    QString value;
    for (;;) {
        SQLRETURN rc = SQLFetch(statement);
        if (rc == SQL_NO_DATA)
            break;
        if (rc == SQL_SUCCESS_WITH_INFO)
            printMessages();
        if (!SQL_SUCCEEDED(rc)) {
            printMessages();
            return false;
        }
        fields.clear();
        for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(columns); ++i) {
            rc = columnText(statement, i, value);
            if (!SQL_SUCCEEDED(rc)) {
                printMessages();
                return false;
            }
            fields << value;
        }
        output_.line(fields.join(QLatin1Char('\t')));
        ++rows;
    }
    output_.line(rows == 1 ? QStringLiteral("(1 row affected)") : QStringLiteral("(%1 rows affected)").arg(rows));
    return true;
}

} // namespace zobran::osql
