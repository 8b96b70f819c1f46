#pragma once

#include "db/DbError.h"

#include <sql.h>
#include <sqlext.h>

namespace zobran::db {

// One owner per ODBC handle: freed when the owner goes, never twice.
class OdbcHandle {
public:
    OdbcHandle() = default;
    // Allocates a handle of `type` under `parent` (SQL_NULL_HANDLE for the environment).
    OdbcHandle(SQLSMALLINT type, SQLHANDLE parent);
    ~OdbcHandle() noexcept { reset(); }
    OdbcHandle(OdbcHandle&& other) noexcept : type_(other.type_), handle_(other.handle_)
    {
        other.handle_ = SQL_NULL_HANDLE;
    }
    OdbcHandle& operator=(OdbcHandle&& other) noexcept;
    OdbcHandle(const OdbcHandle&) = delete;
    OdbcHandle& operator=(const OdbcHandle&) = delete;

    SQLHANDLE get() const noexcept { return handle_; }
    SQLSMALLINT type() const noexcept { return type_; }
    explicit operator bool() const noexcept { return handle_ != SQL_NULL_HANDLE; }
    void reset() noexcept;

private:
    SQLSMALLINT type_ = 0;
    SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

// The program's one ODBC environment (ODBC 3 behaviour).
SQLHENV odbcEnvironment();

// Every diagnostic record the handle holds.
QList<Diagnostic> diagnosticsOf(SQLSMALLINT handleType, SQLHANDLE handle);

// The one checked path of every SQL* call: a failing return raises DbError with the handle's
// records; success, success with information and "no data" come back to the caller.
SQLRETURN checked(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char* operation);

inline SQLRETURN checked(SQLRETURN rc, const OdbcHandle& handle, const char* operation)
{
    return checked(rc, handle.type(), handle.get(), operation);
}

} // namespace zobran::db
