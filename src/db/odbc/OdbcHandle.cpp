#include "db/odbc/OdbcHandle.h"

#include "db/odbc/WideText.h"

#include <array>

namespace zobran::db {

OdbcHandle::OdbcHandle(SQLSMALLINT type, SQLHANDLE parent) : type_(type)
{
    const SQLRETURN rc = SQLAllocHandle(type, parent, &handle_);
    if (!SQL_SUCCEEDED(rc)) {
        handle_ = SQL_NULL_HANDLE;
        const SQLSMALLINT parentType = type == SQL_HANDLE_ENV ? 0
            : type == SQL_HANDLE_DBC                          ? SQL_HANDLE_ENV
                                                              : SQL_HANDLE_DBC;
        QList<Diagnostic> records;
        if (parent != SQL_NULL_HANDLE)
            records = diagnosticsOf(parentType, parent);
        throw DbError(records, QStringLiteral("An ODBC handle could not be allocated."));
    }
}

OdbcHandle& OdbcHandle::operator=(OdbcHandle&& other) noexcept
{
    if (this != &other) {
        reset();
        type_ = other.type_;
        handle_ = other.handle_;
        other.handle_ = SQL_NULL_HANDLE;
    }
    return *this;
}

void OdbcHandle::reset() noexcept
{
    if (handle_ != SQL_NULL_HANDLE) {
        SQLFreeHandle(type_, handle_);
        handle_ = SQL_NULL_HANDLE;
    }
}

SQLHENV odbcEnvironment()
{
    static const OdbcHandle environment = [] {
        OdbcHandle env(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
        checked(SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0), env,
                "SQLSetEnvAttr");
        return env;
    }();
    return environment.get();
}

QList<Diagnostic> diagnosticsOf(SQLSMALLINT handleType, SQLHANDLE handle)
{
    QList<Diagnostic> records;
    if (handle == SQL_NULL_HANDLE)
        return records;
    for (SQLSMALLINT i = 1;; ++i) {
        std::array<SQLWCHAR, 6> state{};
        SQLINTEGER native = 0;
        std::array<SQLWCHAR, 2048> message{};
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRecW(handleType, handle, i, state.data(), &native, message.data(),
                                            static_cast<SQLSMALLINT>(message.size()), &length);
        if (!SQL_SUCCEEDED(rc))
            break;
        const auto units
            = std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)), message.size() - 1);
        records.append(Diagnostic{fromSqlWide(state.data(), 5), native, fromSqlWide(message.data(), units)});
    }
    return records;
}

SQLRETURN checked(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char* operation)
{
    if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO || rc == SQL_NO_DATA)
        return rc;
    QList<Diagnostic> records = diagnosticsOf(handleType, handle);
    throw DbError(std::move(records),
                  QStringLiteral("%1 failed (return code %2).").arg(QLatin1String(operation)).arg(rc));
}

} // namespace zobran::db
