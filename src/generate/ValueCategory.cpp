#include "generate/ValueCategory.h"

#include "db/SqlTypes.h"

namespace zobran {

ValueCategory valueCategoryOf(int sqlType)
{
    switch (sqlType) {
    case db::sqltype::SmallInt:
    case db::sqltype::Integer:
    case db::sqltype::BigInt:
    case db::sqltype::Numeric:
    case db::sqltype::Decimal:
        return ValueCategory::Number;
    case db::sqltype::TinyInt:
    case db::sqltype::Real:
    case db::sqltype::Float:
    case db::sqltype::Double:
        return ValueCategory::QuotedNumber;
    case db::sqltype::Bit:
        return ValueCategory::Boolean;
    case db::sqltype::Timestamp:
    case db::sqltype::LegacyTimestamp:
        return ValueCategory::Timestamp;
    case db::sqltype::Binary:
    case db::sqltype::VarBinary:
    case db::sqltype::LongVarBinary:
        return ValueCategory::Binary;
    case db::sqltype::Char:
    case db::sqltype::VarChar:
    case db::sqltype::LongVarChar:
        return ValueCategory::Text;
    case db::sqltype::WChar:
    case db::sqltype::WVarChar:
    case db::sqltype::WLongVarChar:
        return ValueCategory::NationalText;
    default:
        return ValueCategory::Other;
    }
}

} // namespace zobran
