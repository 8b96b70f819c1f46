#pragma once

#include "generate/ValueCategory.h"

#include <string>
#include <string_view>

namespace zobran {

// Appends one column value, as it stands in the VALUES list of a generated INSERT statement, to
// out. value is the UTF-8 text the result set holds (ignored when isNull):
//   Number       -> the plain number unquoted, every digit kept ("12.500"); NULL -> 0
//   QuotedNumber -> the plain number between apostrophes ('12.5'); NULL -> 0
//   Boolean      -> 1 for "1", "-1", "true" or "t" (any case), otherwise 0; NULL -> 0
//   Timestamp    -> 'yyyy-mm-ddThh:mm:ss', then "." and the fraction of a second when it is not
//                   zero, cut to fractionDigits digits (-1: all the value has), trailing zeros
//                   dropped; NULL -> NULL
//   Binary       -> 0x and the hex digits in upper case (a leading "0x" or "\x" of the value is
//                   dropped); NULL -> 0x
//   Text         -> the text between apostrophes, every apostrophe doubled, nothing else changed;
//                   NULL -> ''
//   NationalText -> the same after N: N'...'; NULL -> ''
//   Other        -> as Text; NULL -> NULL
// A plain number has "." as decimal separator, no digit grouping and no sign but a leading "-":
// a currency sign, grouping commas or a "+" the driver hands over are dropped ("$1,234.50" gives
// 1234.50, "-$3.00" gives -3.00). A number or timestamp whose text is not of such a form ("NaN",
// "infinity", "1,5", a date with a zone) is written as quoted text instead, so it never breaks the
// statement and stays whole. A binary value that is not hexadecimal text raises an AppError: no
// quoted text can stand in for it.
void appendSqlValue(std::string& out, ValueCategory category, bool isNull, std::string_view value,
                    int fractionDigits = -1);

// Appends text between apostrophes with every apostrophe doubled.
void appendQuotedText(std::string& out, std::string_view text);

} // namespace zobran
