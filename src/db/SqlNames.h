#pragma once

#include "db/ServerInfo.h"

#include <QString>

namespace zobran::db {

// Table and column names as statements must write them. One place for every window that puts a name
// into a statement (Generate Script, Delete Script, the import windows).

// True when SQL Server takes the name bare: 1 to 128 characters, an ASCII letter or "_" first, then
// ASCII letters, digits, "_", "@", "$" or "#", and not a reserved word (any case). Names with other
// characters (blanks, quotes, brackets, non-ASCII letters) count as irregular: quoting them is never
// wrong, and no server then reads them differently.
bool isRegularIdentifier(const QString& name);

// The name as a statement for this server writes it: bare when regular; otherwise on SQL Server
// [name] with every "]" doubled (whatever QUOTED_IDENTIFIER says), elsewhere between the driver's
// identifier quote with that quote doubled inside, or [name] when the driver has none.
QString quotedName(const QString& name, const ServerInfo& server);

// The reverse: "[x]]y]" gives "x]y", "\"x\"\"y\"" gives "x\"y", "`x``y`" gives "x`y"; any other text
// comes back unchanged.
QString unquotedName(const QString& text);

} // namespace zobran::db
