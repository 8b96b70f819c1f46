#include "db/Connection.h"

#include "db/ConnectionString.h"
#include "db/OdbcHandle.h"
#include "db/StatementText.h"
#include "db/WideText.h"

#include <algorithm>
#include <array>
#include <vector>

namespace zobran::db {

namespace {

QString infoText(const OdbcHandle& dbc, SQLUSMALLINT item)
{
    std::array<SQLWCHAR, 256> text{};
    SQLSMALLINT bytes = 0;
    checked(SQLGetInfoW(dbc.get(), item, text.data(), static_cast<SQLSMALLINT>(sizeof text), &bytes), dbc,
            "SQLGetInfo");
    const auto units = std::min<std::size_t>(
        static_cast<std::size_t>(std::max<SQLSMALLINT>(bytes, 0)) / sizeof(SQLWCHAR), text.size() - 1);
    return fromSqlWide(text.data(), units);
}

// What the driver's SQLGetData can read again (SQL_GD_* bits); 0 when it cannot tell, so that a
// result is read the way every driver can.
SQLUINTEGER getDataExtensions(const OdbcHandle& dbc)
{
    SQLUINTEGER extensions = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(dbc.get(), SQL_GETDATA_EXTENSIONS, &extensions, sizeof extensions, nullptr)))
        return 0;
    return extensions;
}

} // namespace

Connection::Connection() : dbc_(std::make_unique<OdbcHandle>()) {}

Connection::~Connection() noexcept
{
    if (open_)
        SQLDisconnect(dbc_->get());
}

void Connection::open(const QString& connectionString, const QString& user, const QString& password)
{
    if (open_)
        throw objectOpenError();
    QString text = connectionString;
    if (!user.isEmpty())
        text += QStringLiteral(";Uid=") + odbcValue(user);
    if (!password.isEmpty())
        text += QStringLiteral(";Pwd=") + odbcValue(password);

    OdbcHandle dbc(SQL_HANDLE_DBC, odbcEnvironment());
    checked(SQLSetConnectAttr(dbc.get(), SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(15), 0), dbc,
            "SQLSetConnectAttr");
    std::vector<SQLWCHAR> wide = toSqlWide(text);
    // The completed string the driver hands back may hold the password: it is never kept.
    std::array<SQLWCHAR, 1024> completed{};
    SQLSMALLINT completedLength = 0;
    checked(SQLDriverConnectW(dbc.get(), nullptr, wide.data(), SQL_NTS, completed.data(),
                              static_cast<SQLSMALLINT>(completed.size()), &completedLength, SQL_DRIVER_NOPROMPT),
            dbc, "SQLDriverConnect");
    ServerInfo info;
    try {
        info.dbmsName = infoText(dbc, SQL_DBMS_NAME);
        info.identifierQuote = infoText(dbc, SQL_IDENTIFIER_QUOTE_CHAR);
        const SQLUINTEGER extensions = getDataExtensions(dbc);
        info.readsBoundCells = (extensions & SQL_GD_BOUND) != 0;
        info.readsCellsOfBlocks = info.readsBoundCells && (extensions & SQL_GD_BLOCK) != 0;
    } catch (...) {
        SQLDisconnect(dbc.get());
        throw;
    }
    serverInfo_ = info;
    *dbc_ = std::move(dbc);
    open_ = true;
    alive_ = std::make_shared<char>();
}

long Connection::execute(const QString& statement, long* recordsAffected)
{
    checkStatementText(statement);
    OdbcHandle stmt = newStatement();
    std::vector<SQLWCHAR> wide = toSqlWide(statement);
    checked(SQLExecDirectW(stmt.get(), wide.data(), SQL_NTS), stmt, "SQLExecDirect");
    SQLLEN count = -1;
    checked(SQLRowCount(stmt.get(), &count), stmt, "SQLRowCount");
    // Later results of a batch may carry failures of their own: walk them all.
    while (checked(SQLMoreResults(stmt.get()), stmt, "SQLMoreResults") != SQL_NO_DATA) {}
    if (recordsAffected)
        *recordsAffected = static_cast<long>(count);
    return static_cast<long>(count);
}

void Connection::close()
{
    if (!open_)
        throw objectClosedError();
    open_ = false;
    alive_.reset();
    const SQLRETURN rc = SQLDisconnect(dbc_->get());
    OdbcHandle dbc = std::move(*dbc_);
    checked(rc, dbc, "SQLDisconnect");
}

OdbcHandle Connection::newStatement()
{
    if (!open_)
        throw objectClosedError();
    return OdbcHandle(SQL_HANDLE_STMT, dbc_->get());
}

} // namespace zobran::db
