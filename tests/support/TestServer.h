#pragma once

#include <QString>
#include <QStringList>

namespace zobran::test {

// The private database server the database tests run against, as tests/fixtures/pgserver.sh
// describes it in server.env when it starts.
struct TestServer {
    QString socketDir;     // what the program takes as the server name
    QString login;
    QString password;
    QStringList databases; // shop_hq, shop_01, shop_02 and scratch
};

// Read once from ZOBRAN_TEST_SERVER_DIR/server.env; throws std::runtime_error when the file is
// missing or incomplete (the server_start test did not run or failed).
const TestServer& testServer();

// "Driver={SQL Server};Server=<socket folder>;Database=<database>;Uid=<login>;Pwd=<password>"
QString testConnectionString(const QString& database);

// A database a test makes for itself is named <prefix>_<process id>_<name> ("imp_4711_a"), so that
// tests running side by side never meet. A test that checks the whole database list of the server
// leaves such databases out, since other tests may hold some at the moment.
bool isPrivateTestDatabase(const QString& name);
QStringList withoutPrivateTestDatabases(const QStringList& names);

} // namespace zobran::test
