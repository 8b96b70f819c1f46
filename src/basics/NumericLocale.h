#pragma once

namespace zobran {

// Number text never depends on the user's locale. The application object takes the C library's
// locale from the environment (LANG, LC_ALL) when it is made, and the ODBC driver then formats the
// decimals it hands over with that locale's separator ("1,87" under a German locale). Called once
// right after the application object is made, this puts the numeric category back to "C" for the
// whole process: "." as decimal separator, no grouping. Everything else (messages, the windows'
// own date display) keeps the user's locale.
void keepNumbersInCLocale();

} // namespace zobran
