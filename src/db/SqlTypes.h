#pragma once

namespace zobran::db {

// Whether values of this ODBC SQL type are numbers (sorted by value, shown right-aligned).
bool isNumericType(int sqlType);

// SQL_REAL, SQL_FLOAT and SQL_DOUBLE: their values are kept as the shortest text that reads back
// to the same value.
bool isFloatingType(int sqlType);

} // namespace zobran::db
