#pragma once

namespace zobran {

// How a column's values are written into an INSERT statement; decided by the ODBC SQL type code
// the result set reports for the column.
enum class ValueCategory {
    Number,  // smallint, integer, bigint, numeric, decimal: digits unquoted, NULL as 0
    Boolean, // bit: 1 or 0, NULL as 0
    Date,    // timestamp: quoted 12-hour text, NULL as ''
    Binary,  // binary, varbinary, long varbinary: 0x + hex digits, NULL as 0x
    Text,    // everything else: quoted with apostrophes doubled, NULL as ''
};

ValueCategory valueCategoryOf(int sqlType);

} // namespace zobran
