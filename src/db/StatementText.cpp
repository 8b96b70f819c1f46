#include "db/StatementText.h"

#include "db/DbError.h"

namespace zobran::db {

qsizetype nulCharacterPosition(const QString& text)
{
    return text.indexOf(QChar(u'\0')) + 1;
}

void checkStatementText(const QString& text)
{
    const qsizetype position = nulCharacterPosition(text);
    if (position == 0)
        return;
    throw DbError({Diagnostic{QStringLiteral("22021"), 0,
                              QStringLiteral("The statement holds a NUL character (U+0000) at character %1; the "
                                             "server would run only the text before it, so it was not sent.")
                                  .arg(position)}});
}

} // namespace zobran::db
