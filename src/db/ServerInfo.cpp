#include "db/ServerInfo.h"

namespace zobran::db {

bool ServerInfo::isSqlServer() const
{
    return dbmsName.contains(QStringLiteral("SQL Server"), Qt::CaseInsensitive);
}

} // namespace zobran::db
