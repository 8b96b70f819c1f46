#include "db/Connection.h"

#include "basics/AppError.h"
#include "db/ConnectionString.h"
#include "db/Statement.h"
#include "db/odbc/OdbcHandle.h"
#include "db/odbc/WideText.h"

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
    Statement stmt(*this);
    const long count = stmt.execute(statement);
    if (recordsAffected)
        *recordsAffected = count;
    return count;
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

Connection::RunUse::RunUse(Connection& connection, const StopSource& stop) : connection_(connection)
{
    if (connection_.inUse_.exchange(true))
        throw AppError(errnum::ObjectOpen,
                       QStringLiteral("The connection is still in use by a run that was stopped and has not ended: "
                                      "the server has not answered yet."));
    const std::lock_guard lock(connection_.runMutex_);
    connection_.runStop_ = stop;
}

Connection::RunUse::~RunUse()
{
    {
        const std::lock_guard lock(connection_.runMutex_);
        connection_.runStop_.reset();
    }
    connection_.inUse_.store(false);
}

std::optional<StopSource> Connection::runStop() const
{
    const std::lock_guard lock(runMutex_);
    return runStop_;
}

} // namespace zobran::db
