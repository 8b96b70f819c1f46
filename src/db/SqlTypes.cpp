#include "db/SqlTypes.h"

#include <sql.h>
#include <sqlext.h>

namespace zobran::db {

static_assert(sqltype::Char == SQL_CHAR && sqltype::Numeric == SQL_NUMERIC && sqltype::Decimal == SQL_DECIMAL
              && sqltype::Integer == SQL_INTEGER && sqltype::SmallInt == SQL_SMALLINT && sqltype::Float == SQL_FLOAT
              && sqltype::Real == SQL_REAL && sqltype::Double == SQL_DOUBLE && sqltype::DateTime == SQL_DATETIME
              && sqltype::VarChar == SQL_VARCHAR && sqltype::Date == SQL_TYPE_DATE && sqltype::Time == SQL_TYPE_TIME
              && sqltype::Timestamp == SQL_TYPE_TIMESTAMP && sqltype::LegacyTimestamp == SQL_TIMESTAMP
              && sqltype::LongVarChar == SQL_LONGVARCHAR && sqltype::Binary == SQL_BINARY
              && sqltype::VarBinary == SQL_VARBINARY && sqltype::LongVarBinary == SQL_LONGVARBINARY
              && sqltype::BigInt == SQL_BIGINT && sqltype::TinyInt == SQL_TINYINT && sqltype::Bit == SQL_BIT
              && sqltype::WChar == SQL_WCHAR && sqltype::WVarChar == SQL_WVARCHAR
              && sqltype::WLongVarChar == SQL_WLONGVARCHAR && sqltype::Guid == SQL_GUID);

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
