#include "db/StatementText.h"

#include "basics/AppError.h"

namespace zobran::db {

void refuseUnsendableText(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul < 0)
        return;
    throw AppError(errnum::InvalidArgument,
                   QStringLiteral("The statement holds a NUL character (U+0000) at character %1: it was not sent, "
                                  "for the server would run only the part before it.")
                       .arg(nul + 1));
}

} // namespace zobran::db
