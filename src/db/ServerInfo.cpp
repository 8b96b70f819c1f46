#include "db/ServerInfo.h"

namespace zobran::db {

bool ServerInfo::isSqlServer() const
{
    return dbmsName.contains(QStringLiteral("SQL Server"), Qt::CaseInsensitive);
}

bool ServerInfo::writesTimestampsShortest() const
{
    return dbmsName.compare(QStringLiteral("PostgreSQL"), Qt::CaseInsensitive) == 0;
}

} // namespace zobran::db
