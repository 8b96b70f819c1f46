#pragma once

#include <QString>
#include <QStringList>

namespace zobran::db {

class Connection;

// The catalog queries the windows send, exactly as SQL Server takes them.

// The user tables of the database, by name, without sysdiagrams (Generate Script window).
QString tableListQuery();

// The column names of one table, in the server's order (Generate Script window). The table name goes
// into an N'...' literal with its apostrophes doubled.
QString fieldListQuery(const QString& table);

// The tables the Delete Script window offers: the user tables without sysdiagrams and the
// configuration tables of the application suite, by name.
QString deletableTableListQuery();

// The online databases of the server other than master, tempdb, model and msdb, by name.
QString userDatabaseListQuery();

// A list query, run the way the windows fill their lists: a short-lived result set reads it within
// the catalog time limit, and the first field of every row is taken in the order returned.
// Failures raise.
QStringList readCatalogList(const QString& sql, Connection& connection);

} // namespace zobran::db
