#pragma once

#include <string>
#include <string_view>

namespace zobran {

// The shortest decimal text that reads back to the same floating-point value, for values of
// real (single precision) and float/double columns: "0.100000001" of a real gives "0.1",
// "12.50" gives "12.5". Text that is not a plain finite number ("$12.34", "NaN", "Infinity",
// " 1", "+1") comes back unchanged. Always uses "." and no digit grouping.
std::string shortestFloatText(std::string_view text, bool isSinglePrecision);

// The same, appended to out (for fetch code that converts straight into its buffer).
void appendShortestFloatText(std::string& out, std::string_view text, bool isSinglePrecision);

// The same, in place: the text from start to the end of out becomes its shortest form.
void shortenFloatTextFrom(std::string& out, std::size_t start, bool isSinglePrecision);

} // namespace zobran
