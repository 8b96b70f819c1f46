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

StatementBatchForm ServerInfo::batchForm() const
{
    if (isSqlServer())
        return StatementBatchForm::Transaction;
    if (dbmsName.compare(QStringLiteral("PostgreSQL"), Qt::CaseInsensitive) == 0)
        return StatementBatchForm::Implicit;
    return StatementBatchForm::None;
}

} // namespace zobran::db
