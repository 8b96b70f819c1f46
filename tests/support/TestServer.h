#pragma once

#include <QString>
#include <QStringList>

namespace zobran::test {

// The private database server the database tests run against, as tests/fixtures/pgserver.sh
// describes it in server.env when it starts.
struct TestServer {
    QString socketDir; // what the program takes as the server name
    QString login;
    QString password;
    QStringList databases; // shop_hq, shop_01, shop_02 and scratch: read them, never change them
    QString shopTemplate;  // the templates private databases are copied from (nobody connects to them)
    QString emptyTemplate;
    QString freeTdsDriver; // the name FreeTDS is registered under beside the stand-in; empty without tdsodbc
};

// Read once from ZOBRAN_TEST_SERVER_DIR/server.env; throws std::runtime_error when the file is
// missing or incomplete (the server_start test did not run or failed).
const TestServer& testServer();

// "Driver={SQL Server};Server=<socket folder>;Database=<database>;Uid=<login>;Pwd=<password>"
QString testConnectionString(const QString& database);

// Remembered connection values (the settings every window reads) that point at the test server
// and this database.
void rememberTestServer(const QString& database);

// What a private database starts as.
enum class DatabaseTemplate {
    Empty, // the catalog views only, as scratch
    Shop,  // the catalog views and the suite's sample tables, as shop_hq
};

// A database of this test process's own, for tests that create, change or drop tables or rows:
// made on first use as a copy of the template (owned by the login, with the template's settings
// such as its search_path) and dropped when the process ends; later calls with the same template
// give the same database. ctest runs every test in a process of its own, so test processes running
// side by side never meet; tests run in one process share it and tidy up after themselves as
// before. Named zt_<process id>_<n>. Throws when the database cannot be made.
QString privateDatabase(DatabaseTemplate from = DatabaseTemplate::Empty);

// True for the name of a private database (of this process or another one), and of any database a
// test makes for itself under a name of the form <prefix>_<process id>_<name> ("imp_4711_a"):
// catalog views list them among the user databases while their processes run.
bool isPrivateDatabase(const QString& name);

// The names that are not private databases, in their order.
QStringList withoutPrivateDatabases(const QStringList& names);

// The server process of a session connected to the database whose running statement holds
// statementPart, once there is one (waiting up to timeoutMs); 0 when none came.
int sessionRunning(const QString& database, const QString& statementPart, int timeoutMs = 30000);

// Ends the session from the server's side, as an administrator would: its client finds its
// connection gone at its next step.
void terminateSession(int serverProcess);

} // namespace zobran::test
