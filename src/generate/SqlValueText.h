#pragma once

#include "generate/ValueCategory.h"

#include <string>
#include <string_view>

namespace zobran {

// Appends one column value, as it stands in the VALUES list of a generated INSERT statement, to
// out. value is the UTF-8 text the result set holds (ignored when isNull):
//   Number  -> the number text unquoted, every digit kept ("12.500"); NULL -> 0
//   Boolean -> 1 for "1", "-1", "true" or "t" (any case), otherwise 0; NULL -> 0
//   Date    -> 'yyyy-mm-dd hh:mm:ss AM|PM' on the 12-hour clock, fractions dropped; NULL -> ''
//   Text    -> the text between apostrophes, every apostrophe doubled, nothing else changed;
//              NULL -> ''
//   Binary  -> 0x and the hex digits in upper case (a leading "0x" or "\x" of the value is
//              dropped); NULL -> 0x
// A number or timestamp whose text is not of the expected form ("NaN", "infinity", a date with a
// zone) is written as quoted text instead, so it never breaks the statement and stays whole.
// A binary value that is not hexadecimal text raises an AppError: no quoted text can stand in
// for it.
void appendSqlValue(std::string& out, ValueCategory category, bool isNull, std::string_view value);

// Appends text between apostrophes with every apostrophe doubled.
void appendQuotedText(std::string& out, std::string_view text);

} // namespace zobran
