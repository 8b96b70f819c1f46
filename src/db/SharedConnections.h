#pragma once

#include "db/Connection.h"
#include "db/ResultSet.h"

#include <QString>

#include <memory>

namespace zobran {

// The five parameters of the shared ODBC connection string: always the text of the connection
// fields that the last connect step of a window copied.
struct ConnectionParameters {
    QString DriverName;
    QString ServerName;
    QString DatabaseName;
    QString LoginId;
    QString LoginPassword;
};

ConnectionParameters& ConnParams();
QString& ConnString(); // the last ODBC string built

// The two program-wide connections. An empty pointer means no connection object exists yet. A run
// that uses one holds it too, so a run that was stopped and has not ended keeps its connection.
std::shared_ptr<db::Connection>& SharedConnection();
std::shared_ptr<db::Connection>& ImportConnection();

// The text of the last query opened as a result set, the result set shown in the grid, and the
// short-lived result set that fills a list. Empty pointers: released.
QString& SqlText();
std::unique_ptr<db::ResultSet>& GridResultSet();
std::unique_ptr<db::ResultSet>& ListResultSet();

// The connection behind a program-wide variable; raises 91 when there is none.
db::Connection& connectionOf(const std::shared_ptr<db::Connection>& variable);

// Closes the connection of a program-wide variable (91 when there is none, 3704 when it is closed).
// One that a stopped run still uses is left to that run: the variable lets it go, and the
// connection closes when the run does.
void closeSharedVariable(std::shared_ptr<db::Connection>& variable);

// Builds ConnString from the parameters and the server's extra connection settings, and returns it.
QString buildSharedConnectionString();

// Puts a new connection into `placed` and opens it with the string; after a successful open the
// cursor location becomes client side. A failure raises and leaves the new, unopened connection in
// place, so the caller's next database step fails in its turn. (A run opens into a variable of its
// own, which the window makes the program-wide one when the run has ended.)
void openConnectionInto(std::shared_ptr<db::Connection>& placed, const QString& connectionString);

// Both, into SharedConnection.
void openSharedConnection();

} // namespace zobran
