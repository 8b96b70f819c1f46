// OSQL: runs a script file against a database, batch after batch.

#include "db/FreeTdsProtocol.h"
#include "osql/OsqlOptions.h"
#include "osql/OsqlProgram.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    zobran::db::useSqlServerProtocolWithFreeTds();
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // Every local user can read a process's arguments (ps, /proc/<pid>/cmdline): the password is
    // overwritten in place before anything else is done, as database clients do.
    for (const qsizetype position : zobran::osql::passwordArguments(args)) {
        char* value = argv[position + 1];
        std::memset(value, 'x', std::strlen(value));
    }
    return zobran::osql::runOsql(args, stdout, stderr);
}
