#pragma once

#include <QStringView>

#include <cstdint>

namespace zobran {

// The number a text box holds, read the way the program reads every numeric box: leading blanks
// are skipped, then an optional sign, digits, an optional "." with digits and an optional exponent
// ("e" or "E", optional sign, digits) are taken; reading stops at the first character that does
// not fit. "12abc" is 12, " -2.5e1x" is -25, "abc" and "" are 0.
double leadingNumber(QStringView text);

// Rounds to a whole number; a value exactly halfway goes to the even neighbour (2.5 -> 2,
// 3.5 -> 4, -2.5 -> -2). Infinite and NaN values come back unchanged.
double roundHalfEven(double value);

// The whole-number text of a value that is already whole ("270", "-3"); no exponent, no grouping.
// Values beyond the 64-bit range are written with all their digits as well.
QString wholeNumberText(double wholeValue);

} // namespace zobran
