#pragma once

#include <QString>

namespace zobran::db {

// The driver name every connection string of the program names.
inline const QString SqlServerDriver = QStringLiteral("SQL Server");

// A value as it goes into an ODBC connection string: verbatim, unless it holds ";", "{" or "}" or
// begins or ends with a blank; then it is wrapped in braces with "}" doubled, so it can neither end
// its item early nor add items of its own.
QString odbcValue(const QString& value);

// "Driver={driver};Server=...;Database=...;Uid=...;Pwd=..." with nothing after the password.
QString odbcConnectionString(const QString& driver, const QString& server, const QString& database,
                             const QString& login, const QString& password);

// The import windows' connection strings, in their recorded form (with and without a catalog).
QString oledbConnectionString(const QString& password, const QString& login, const QString& database,
                              const QString& server);
QString oledbServerConnectionString(const QString& password, const QString& login, const QString& server);

// What the import windows open: their four values on the "SQL Server" ODBC driver, followed by
// the server's remembered extra connection settings (raising AppError 5 when those are refused).
// Without a database the connection reaches the server's default database.
QString importConnectionString(const QString& server, const QString& database, const QString& login,
                               const QString& password);
QString importServerConnectionString(const QString& server, const QString& login, const QString& password);

} // namespace zobran::db
