#include "support/TestServer.h"

#include "db/Connection.h"
#include "db/ResultSet.h"

#include "db/Settings.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTextStream>
#include <QThread>

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include <unistd.h>

namespace zobran::test {

namespace {

const char* const kServerEnv = ZOBRAN_TEST_SERVER_DIR "/server.env";

QHash<QString, QString> readKeyValueLines(QFile& file)
{
    QHash<QString, QString> values;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0)
            values.insert(line.left(eq).trimmed(), line.mid(eq + 1));
    }
    return values;
}

QString required(const QHash<QString, QString>& values, const QString& key)
{
    const QString value = values.value(key);
    if (value.isEmpty())
        throw std::runtime_error(std::string(kServerEnv) + " has no " + key.toStdString()
                                 + "; the database server did not start properly");
    return value;
}

TestServer loadTestServer()
{
    QFile file(QString::fromLocal8Bit(kServerEnv));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error(std::string("the test database server is not running: ") + kServerEnv
                                 + " is missing (run the tests through ctest, which starts it, or "
                                   "tests/fixtures/pgserver.sh start " ZOBRAN_TEST_SERVER_DIR " test)");
    const QHash<QString, QString> values = readKeyValueLines(file);
    TestServer server;
    server.socketDir = required(values, "SOCKET_DIR");
    server.login = required(values, "LOGIN");
    server.password = required(values, "PASSWORD");
    server.databases = required(values, "DATABASES").split(u' ', Qt::SkipEmptyParts);
    server.shopTemplate = required(values, "SHOP_TEMPLATE");
    server.emptyTemplate = required(values, "EMPTY_TEMPLATE");
    server.freeTdsDriver = values.value("FREETDS_DRIVER");
    return server;
}

// ---- private databases ----

// The server's maintenance database: CREATE and DROP DATABASE run from there, since no session may
// be connected to the database being dropped nor to the template being copied.
const QString kMaintenanceDatabase = QStringLiteral("postgres");

struct PrivateDatabases {
    std::map<DatabaseTemplate, QString> made;
    int count = 0; // databases this process has made so far, for the next name
};

PrivateDatabases& privateDatabases()
{
    static PrivateDatabases databases;
    return databases;
}

QString quoted(const QString& name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString templateName(DatabaseTemplate from)
{
    return from == DatabaseTemplate::Shop ? testServer().shopTemplate : testServer().emptyTemplate;
}

// "name=value" entries of the database's own settings (ALTER DATABASE ... SET).
QStringList settingsOf(db::Connection& maintenance, const QString& database)
{
    QString name = database;
    db::ResultSet rows;
    rows.open("select unnest(setconfig) from pg_db_role_setting where setrole = 0 and setdatabase = "
              "(select oid from pg_database where datname = '"
                  + name.replace(u'\'', QStringLiteral("''")) + "')",
              maintenance);
    QStringList settings;
    for (; !rows.eof(); rows.moveNext())
        settings << QString::fromStdString(std::string(rows.value(0)));
    return settings;
}

QString makePrivateDatabase(DatabaseTemplate from)
{
    const QString name = QStringLiteral("zt_%1_%2").arg(::getpid()).arg(++privateDatabases().count);
    const QString source = templateName(from);
    db::Connection maintenance;
    bool created = false;
    try {
        maintenance.open(testConnectionString(kMaintenanceDatabase));
        // A process that died with this process id before left it behind.
        maintenance.execute("drop database if exists " + quoted(name) + " with (force)");
        maintenance.execute("create database " + quoted(name) + " template " + quoted(source));
        created = true;
        // A copy takes the template's tables but not the settings of the database itself.
        for (const QString& setting : settingsOf(maintenance, source)) {
            const qsizetype eq = setting.indexOf(u'=');
            maintenance.execute("alter database " + quoted(name) + " set " + setting.left(eq) + " = "
                                + setting.mid(eq + 1));
        }
    } catch (const std::exception& e) {
        std::string failure = "the private test database " + name.toStdString() + " could not be made from "
            + source.toStdString() + ": " + e.what();
        if (created) {
            try {
                maintenance.execute("drop database if exists " + quoted(name) + " with (force)");
            } catch (const std::exception& dropFailure) {
                failure += std::string("; nor dropped again: ") + dropFailure.what();
            }
        }
        throw std::runtime_error(failure);
    }
    return name;
}

// Drops every private database of the process. A failure is reported as a failure of the program.
void dropPrivateDatabases()
{
    std::map<DatabaseTemplate, QString> made;
    made.swap(privateDatabases().made);
    if (made.empty())
        return;
    try {
        db::Connection maintenance;
        maintenance.open(testConnectionString(kMaintenanceDatabase));
        // The process's own connections to them, if any are still open, are ended.
        for (const auto& [from, name] : made)
            maintenance.execute("drop database if exists " + quoted(name) + " with (force)");
    } catch (const std::exception& e) {
        ADD_FAILURE() << "the private test databases could not be dropped: " << e.what();
    }
}

// After the last test of the process (and after every round of --gtest_repeat).
class PrivateDatabaseCleanup : public ::testing::Environment {
public:
    void TearDown() override { dropPrivateDatabases(); }
};

[[maybe_unused]] ::testing::Environment* const privateDatabaseCleanup
    = ::testing::AddGlobalTestEnvironment(new PrivateDatabaseCleanup);

} // namespace

const TestServer& testServer()
{
    static const TestServer server = loadTestServer();
    return server;
}

void rememberTestServer(const QString& database)
{
    const TestServer& server = testServer();
    SaveSetting(SettingsApplication, SettingsSection, settingkeys::Server.writtenAs, server.socketDir);
    SaveSetting(SettingsApplication, SettingsSection, settingkeys::Database.writtenAs, database);
    SaveSetting(SettingsApplication, SettingsSection, settingkeys::Login.writtenAs, server.login);
    SaveSetting(SettingsApplication, SettingsSection, settingkeys::Password.writtenAs, server.password);
}

QString testConnectionString(const QString& database)
{
    const TestServer& server = testServer();
    return "Driver={SQL Server};Server=" + server.socketDir + ";Database=" + database + ";Uid=" + server.login
        + ";Pwd=" + server.password;
}

QString privateDatabase(DatabaseTemplate from)
{
    std::map<DatabaseTemplate, QString>& made = privateDatabases().made;
    const auto found = made.find(from);
    if (found != made.end())
        return found->second;
    const QString name = makePrivateDatabase(from);
    made.emplace(from, name);
    return name;
}

bool isPrivateDatabase(const QString& name)
{
    static const QRegularExpression privateName(QStringLiteral("^[a-z]+_[0-9]+_[a-z0-9_]+$"));
    return privateName.match(name).hasMatch();
}

QStringList withoutPrivateDatabases(const QStringList& names)
{
    QStringList kept;
    for (const QString& name : names)
        if (!isPrivateDatabase(name))
            kept << name;
    return kept;
}

int sessionRunning(const QString& database, const QString& statementPart, int timeoutMs)
{
    const auto literal = [](QString text) { return '\'' + text.replace('\'', "''") + '\''; };
    db::Connection watcher;
    watcher.open(testConnectionString(kMaintenanceDatabase));
    const QString query = "select pid from pg_stat_activity where datname = " + literal(database)
        + " and state = 'active' and position(" + literal(statementPart) + " in query) > 0";
    QElapsedTimer waited;
    waited.start();
    do {
        db::ResultSet found;
        found.open(query, watcher);
        if (!found.eof())
            return std::stoi(std::string(found.value(0)));
        QThread::msleep(20);
    } while (waited.elapsed() < timeoutMs);
    return 0;
}

void terminateSession(int serverProcess)
{
    db::Connection administrator;
    administrator.open(testConnectionString(kMaintenanceDatabase));
    administrator.execute("select pg_terminate_backend(" + QString::number(serverProcess) + ")");
}

} // namespace zobran::test
