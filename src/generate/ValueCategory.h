#pragma once

namespace zobran {

// How a column's values are written into an INSERT statement; decided by the ODBC SQL type code
// the result set reports for the column. A NULL stays NULL where a stand-in value would change the
// data (a date, a uniqueidentifier); numbers, bits, texts and binaries keep their stand-ins.
enum class ValueCategory {
    Number,       // smallint, integer, bigint, numeric, decimal (money on SQL Server): plain number
                  // unquoted; NULL as 0
    QuotedNumber, // tinyint, real, float, double (money on the stand-in server): plain number quoted;
                  // NULL as 0
    Boolean,      // bit: 1 or 0, NULL as 0
    Timestamp,    // datetime, datetime2, smalldatetime: 'yyyy-mm-ddThh:mm:ss[.fff]'; NULL as NULL
    Binary,       // binary, varbinary, long varbinary: 0x + hex digits, NULL as 0x
    Text,         // char, varchar, long varchar: quoted with apostrophes doubled, NULL as ''
    NationalText, // nchar, nvarchar, ntext (wide character types): N'...', NULL as ''
    Other,        // date, time, uniqueidentifier and the rest: quoted, NULL as NULL
};

ValueCategory valueCategoryOf(int sqlType);

} // namespace zobran
