#pragma once

#include <QString>

namespace zobran::db {

// What may go to the server as a statement. A driver ends a statement's text at its first NUL
// character (U+0000), also when it is told the length, so the server would run only the part
// before it: "delete from t<NUL> where id = 1" would delete every row. Such a text is never sent.

// Where the first NUL character stands (1 for the first character); 0 when there is none.
qsizetype nulCharacterPosition(const QString& text);

// Raises DbError (SQLSTATE 22021) naming the position when the text holds a NUL character. Every
// path that hands a statement to the driver calls it first.
void checkStatementText(const QString& text);

} // namespace zobran::db
