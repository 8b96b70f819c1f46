#include "db/SharedConnections.h"

#include "db/ConnectionString.h"
#include "db/DbError.h"
#include "db/ExtraConnectionSettings.h"

namespace zobran {

ConnectionParameters& ConnParams()
{
    static ConnectionParameters parameters;
    return parameters;
}

QString& ConnString()
{
    static QString text;
    return text;
}

std::shared_ptr<db::Connection>& SharedConnection()
{
    static std::shared_ptr<db::Connection> connection;
    return connection;
}

std::shared_ptr<db::Connection>& ImportConnection()
{
    static std::shared_ptr<db::Connection> connection;
    return connection;
}

QString& SqlText()
{
    static QString text;
    return text;
}

std::unique_ptr<db::ResultSet>& GridResultSet()
{
    static std::unique_ptr<db::ResultSet> resultSet;
    return resultSet;
}

std::unique_ptr<db::ResultSet>& ListResultSet()
{
    static std::unique_ptr<db::ResultSet> resultSet;
    return resultSet;
}

db::Connection& connectionOf(const std::shared_ptr<db::Connection>& variable)
{
    if (!variable)
        throw db::noConnectionError();
    return *variable;
}

void closeSharedVariable(std::shared_ptr<db::Connection>& variable)
{
    db::Connection& connection = connectionOf(variable);
    if (connection.inUse()) {
        variable.reset();
        return;
    }
    connection.close();
}

QString buildSharedConnectionString()
{
    const ConnectionParameters& p = ConnParams();
    ConnString() = db::withExtraSettings(
        db::odbcConnectionString(p.DriverName, p.ServerName, p.DatabaseName, p.LoginId, p.LoginPassword), p.ServerName);
    return ConnString();
}

void openConnectionInto(std::shared_ptr<db::Connection>& placed, const QString& connectionString)
{
    placed = std::make_shared<db::Connection>();
    placed->open(connectionString);
    placed->setCursorLocation(db::CursorLocationClient);
}

void openSharedConnection()
{
    openConnectionInto(SharedConnection(), buildSharedConnectionString());
}

} // namespace zobran
