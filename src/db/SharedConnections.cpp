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

std::unique_ptr<db::Connection>& SharedConnection()
{
    static std::unique_ptr<db::Connection> connection;
    return connection;
}

std::unique_ptr<db::Connection>& ImportConnection()
{
    static std::unique_ptr<db::Connection> connection;
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

db::Connection& connectionOf(const std::unique_ptr<db::Connection>& variable)
{
    if (!variable)
        throw db::noConnectionError();
    return *variable;
}

void openSharedConnection()
{
    const ConnectionParameters& p = ConnParams();
    ConnString() = db::withExtraSettings(
        db::odbcConnectionString(p.DriverName, p.ServerName, p.DatabaseName, p.LoginId, p.LoginPassword), p.ServerName);
    SharedConnection() = std::make_unique<db::Connection>();
    SharedConnection()->open(ConnString());
    SharedConnection()->setCursorLocation(db::CursorLocationClient);
}

} // namespace zobran
