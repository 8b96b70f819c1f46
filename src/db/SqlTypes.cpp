#include "db/SqlTypes.h"

#include <sql.h>
#include <sqlext.h>

namespace zobran::db {

bool isNumericType(int sqlType)
{
    switch (sqlType) {
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
    case SQL_TINYINT:
    case SQL_NUMERIC:
    case SQL_DECIMAL:
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return true;
    default:
        return false;
    }
}

bool isFloatingType(int sqlType)
{
    return sqlType == SQL_REAL || sqlType == SQL_FLOAT || sqlType == SQL_DOUBLE;
}

} // namespace zobran::db
