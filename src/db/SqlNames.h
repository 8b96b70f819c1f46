#pragma once

#include "db/ServerInfo.h"

#include <QString>

namespace zobran::db {

// Names of tables and columns as they go into statements. A regular identifier of SQL Server stays
// bare, so ordinary statements keep their exact text; any other name is quoted.

// SQL Server's regular identifier: a letter, "_", "@" or "#", then letters, decimal digits, "@",
// "$", "#" and "_", and not one of SQL Server's reserved words (in any case).
bool isRegularIdentifier(const QString& name);

// The name as a statement needs it: bare when regular; otherwise "[na]]me]" on SQL Server, and
// quoted with the driver's identifier quote (doubled inside) on another server. A driver without
// an identifier quote gets SQL Server's form, the one the program's scripts are written for.
QString quotedName(const QString& name, const ServerInfo& server);

// The reverse: "[na]]me]", "\"na\"\"me\"" and "`na``me`" give the name back; any other text is
// returned as it is.
QString unquotedName(const QString& text);

} // namespace zobran::db
