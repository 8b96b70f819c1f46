#include "generate/ValueCategory.h"

#include <sql.h>
#include <sqlext.h>

namespace zobran {

ValueCategory valueCategoryOf(int sqlType)
{
    switch (sqlType) {
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
    case SQL_NUMERIC:
    case SQL_DECIMAL:
        return ValueCategory::Number;
    case SQL_TINYINT:
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return ValueCategory::QuotedNumber;
    case SQL_BIT:
        return ValueCategory::Boolean;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return ValueCategory::Timestamp;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return ValueCategory::Binary;
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
        return ValueCategory::Text;
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
        return ValueCategory::NationalText;
    default:
        return ValueCategory::Other;
    }
}

} // namespace zobran
