#include "db/ConnectionString.h"

#include "db/ExtraConnectionSettings.h"

namespace zobran::db {

namespace {

bool needsBraces(const QString& value)
{
    if (value.isEmpty())
        return false;
    if (value.front().isSpace() || value.back().isSpace())
        return true;
    return value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('{')) || value.contains(QLatin1Char('}'));
}

QString braced(QString value)
{
    value.replace(QStringLiteral("}"), QStringLiteral("}}"));
    return QLatin1Char('{') + value + QLatin1Char('}');
}

} // namespace

QString odbcValue(const QString& value)
{
    return needsBraces(value) ? braced(value) : value;
}

QString odbcConnectionString(const QString& driver, const QString& server, const QString& database,
                             const QString& login, const QString& password)
{
    // The driver name always stands in braces; only a "}" inside it needs doubling.
    QString driverName = driver;
    driverName.replace(QStringLiteral("}"), QStringLiteral("}}"));
    return QStringLiteral("Driver={") + driverName + QStringLiteral("};") + QStringLiteral("Server=")
        + odbcValue(server) + QStringLiteral(";") + QStringLiteral("Database=") + odbcValue(database)
        + QStringLiteral(";") + QStringLiteral("Uid=") + odbcValue(login) + QStringLiteral(";") + QStringLiteral("Pwd=")
        + odbcValue(password);
}

QString oledbConnectionString(const QString& password, const QString& login, const QString& database,
                              const QString& server)
{
    return QStringLiteral("Provider=SQLOLEDB.1;Password=") + password
        + QStringLiteral(";Persist Security Info=True;User ID=") + login + QStringLiteral(";Initial Catalog=")
        + database + QStringLiteral(";Data Source=") + server;
}

QString oledbServerConnectionString(const QString& password, const QString& login, const QString& server)
{
    return QStringLiteral("Provider=SQLOLEDB.1;Password=") + password
        + QStringLiteral(";Persist Security Info=True;User ID=") + login + QStringLiteral(";Data Source=") + server;
}

QString importConnectionString(const QString& server, const QString& database, const QString& login,
                               const QString& password)
{
    return withExtraSettings(odbcConnectionString(SqlServerDriver, server, database, login, password), server);
}

QString importServerConnectionString(const QString& server, const QString& login, const QString& password)
{
    return withExtraSettings(QStringLiteral("Driver={") + SqlServerDriver + QStringLiteral("};Server=")
                                 + odbcValue(server) + QStringLiteral(";Uid=") + odbcValue(login)
                                 + QStringLiteral(";Pwd=") + odbcValue(password),
                             server);
}

} // namespace zobran::db
