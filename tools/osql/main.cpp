// OSQL: runs a script file against a database, batch after batch.

#include "db/FreeTdsProtocol.h"
#include "osql/OsqlProgram.h"

#include <QString>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv)
{
    zobran::db::useSqlServerProtocolWithFreeTds();
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return zobran::osql::runOsql(args, stdout, stderr);
}
