#pragma once

namespace zobran::db {

// The ODBC SQL type codes a field's type may hold, by name, for code that does not see the driver's
// headers.
namespace sqltype {
constexpr int Char = 1;
constexpr int Numeric = 2;
constexpr int Decimal = 3;
constexpr int Integer = 4;
constexpr int SmallInt = 5;
constexpr int Float = 6;
constexpr int Real = 7;
constexpr int Double = 8;
constexpr int DateTime = 9;
constexpr int VarChar = 12;
constexpr int Date = 91;
constexpr int Time = 92;
constexpr int Timestamp = 93;
constexpr int LegacyTimestamp = 11; // the same, as drivers of the old interface report it
constexpr int LongVarChar = -1;
constexpr int Binary = -2;
constexpr int VarBinary = -3;
constexpr int LongVarBinary = -4;
constexpr int BigInt = -5;
constexpr int TinyInt = -6;
constexpr int Bit = -7;
constexpr int WChar = -8;
constexpr int WVarChar = -9;
constexpr int WLongVarChar = -10;
constexpr int Guid = -11;
} // namespace sqltype

// Whether values of this ODBC SQL type are numbers (sorted by value, shown right-aligned).
bool isNumericType(int sqlType);

// SQL_REAL, SQL_FLOAT and SQL_DOUBLE: their values are kept as the shortest text that reads back
// to the same value.
bool isFloatingType(int sqlType);

} // namespace zobran::db
