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
    case SQL_BIT:
        return ValueCategory::Boolean;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return ValueCategory::Date;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return ValueCategory::Binary;
    default:
        return ValueCategory::Text;
    }
}

} // namespace zobran
